// The main window's side of the language window.
#include "app/appform.h"

#include "app/startup.h"
#include "language/restartscript.h"
#include "language/textcatalogue.h"
#include "language/widgets/translateform.h"
#include "platform/inifile.h"

#include <QAction>
#include <QCoreApplication>

void TAppForm::setUpLanguageWindow()
{
    quitApplication = [] {
        QCoreApplication::quit();
    };
}

void TAppForm::loadChosenLanguage()
{
    // An installed program keeps its language files under share/parlotext.
    LoadChosenLanguage(ProgramCatalogue(),
                       ShippedFilesFolder(m_environment.programFolder, QStringLiteral("Languages")),
                       m_environment.userLanguageId, m_settingsIni.get());
}

void TAppForm::SetLanguageFile(const QString& Filename)
{
    if (m_settingsIni)
        SaveChosenLanguage(*m_settingsIni, Filename);
}

void TAppForm::Language1Click()
{
    TranslateFormSetup setup;
    setup.dataFolder = m_dataFolder;
    setup.programFile = m_environment.programFile;
    setup.translationPage = TranslationPage(m_environment.endpoints.makerWeb);
    setup.restartPause = RestartPauseAvailable();
    setup.SetLanguageFile = [this](const QString& fileName) {
        SetLanguageFile(fileName);
    };
    setup.quitApplication = [this] {
        if (quitApplication)
            quitApplication();
    };

    auto* form = new TTranslateForm(ProgramCatalogue(), std::move(setup), m_desktop, this);
    // Modal without a loop of its own: the window is freed when it closes.
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::ApplicationModal);
    m_translateForm = form;
    form->show();
}

TTranslateForm* TAppForm::TranslateForm() const
{
    return m_translateForm.data();
}
