// Options › Model: the sizes, the one checked, the choice kept in settings.ini and sent.
#include "appformtesting.h"
#include "queuetesting.h"

#include "platform/inifile.h"
#include "transcription/conversionjob.h"
#include "transcription/modelnames.h"
#include "transcription/replicateclient.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QStringList menuTexts(QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts.append(action->text());
    return texts;
}

QAction* modelAction(TAppForm& form, const QString& name)
{
    for (QAction* action : form.Model1->actions()) {
        if (action->text() == name)
            return action;
    }
    return nullptr;
}

TEST(ModelChoiceTest, TheCreateBodyForBaseIsTheTemplate)
{
    EXPECT_EQ(CreatePredictionBody(QStringLiteral("v1"), QStringLiteral("https://a.example/x.mp3"),
                                   kDefaultModelName, QStringLiteral("vtt")),
              QByteArray("{\"version\": \"v1\", \"input\": {\"audio_path\": "
                         "\"https://a.example/x.mp3\", \"model_name\": \"base\", \"format\": "
                         "\"vtt\"}}"));
}

class AppFormModelTest : public ::testing::Test {
protected:
    void SetUp() override { service.start(); }

    // Converts the sample address once and answers the body the service received.
    std::string convertOnce(TAppForm& form)
    {
        form.Edit1->setText(QStringLiteral("r8_key"));
        form.Edit3->setText(QStringLiteral("https://media.example/model.mp3"));
        const std::size_t before = service.createdPredictions().size();
        // The menu item: the toolbar button stays disabled while the last job is polled.
        form.Translate1->trigger();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return service.createdPredictions().size() > before; }, 10000));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !form.conversionJob()->requestRunning(); }, 10000));
        form.TimerReplicate->stop();
        form.TimerElapsed->stop();
        for (const RecordedRequest& request : service.requests()) {
            if (request.method == "POST" && request.path == "/v1/predictions")
                last = request.body;
        }
        return last;
    }

    QTemporaryDir folder;
    ManyFilesService service;
    RecordingDesktop desktop;
    std::string last;
};

TEST_F(AppFormModelTest, SizesBaseCheckedChoiceKeptAndSent)
{
    {
        auto form = MakeForm(folder, EndpointsFor(service), desktop);
        EXPECT_EQ(menuTexts(form->Model1), ModelNames());
        EXPECT_TRUE(form->Options1->actions().contains(form->Model1->menuAction()));
        EXPECT_TRUE(modelAction(*form, QStringLiteral("base"))->isChecked());
        // "base" sends exactly the body the service has always received.
        EXPECT_EQ(convertOnce(*form),
                  "{\"version\": \"7f686e243a96c7f6f0f481bcef24d688a1369ed3983cea348d1f43b879615766"
                  "\", \"input\": {\"audio_path\": \"https://media.example/model.mp3\", "
                  "\"model_name\": \"base\", \"format\": \"vtt\"}}");

        modelAction(*form, QStringLiteral("small.en"))->trigger();
        // One size at a time, like radio buttons.
        int checked = 0;
        for (const QAction* action : form->Model1->actions())
            checked += action->isChecked() ? 1 : 0;
        EXPECT_EQ(checked, 1);
        EXPECT_TRUE(modelAction(*form, QStringLiteral("small.en"))->isChecked());
        EXPECT_EQ(IniFile(form->SettingsIni()->path())
                      .readString(QStringLiteral("Settings"), QStringLiteral("Model")),
                  QStringLiteral("small.en"));
        EXPECT_NE(convertOnce(*form).find("\"model_name\": \"small.en\""), std::string::npos)
            << last;
    }
    // The next start restores the choice.
    auto again = MakeForm(folder, EndpointsFor(service), desktop);
    EXPECT_TRUE(modelAction(*again, QStringLiteral("small.en"))->isChecked());
    EXPECT_EQ(again->chosenModelName(), QStringLiteral("small.en"));
}

TEST_F(AppFormModelTest, AnUnknownSavedSizeFallsBackToBase)
{
    {
        auto form = MakeForm(folder, EndpointsFor(service), desktop);
        form->SettingsIni()->writeString(QStringLiteral("Settings"), QStringLiteral("Model"),
                                         QStringLiteral("huge"));
    }
    auto form = MakeForm(folder, EndpointsFor(service), desktop);
    EXPECT_EQ(form->chosenModelName(), QStringLiteral("base"));
    EXPECT_TRUE(modelAction(*form, QStringLiteral("base"))->isChecked());
}

} // namespace
