// The main window's choice of model size: Options › Model, kept in settings.ini.
#include "app/appform.h"

#include "platform/desktop.h"
#include "platform/inifile.h"
#include "transcription/modelnames.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

const QString kSettingsSection = QStringLiteral("Settings");
const QString kModelKey = QStringLiteral("Model");

} // namespace

void TAppForm::setUpModelChoice()
{
    Model1 = Options1->addMenu(QStringLiteral("Model"));
    Model1->menuAction()->setObjectName(QStringLiteral("Model1"));
    m_modelGroup = new QActionGroup(Model1);
    m_modelGroup->setExclusive(true);
    for (const QString& name : ModelNames()) {
        QAction* action = Model1->addAction(name);
        action->setCheckable(true);
        action->setChecked(name == kDefaultModelName);
        action->setData(name);
        m_modelGroup->addAction(action);
    }
    connect(m_modelGroup, &QActionGroup::triggered, this, [this](QAction* action) {
        const QString name = action->data().toString();
        if (!m_settingsIni)
            return;
        try {
            m_settingsIni->writeString(kSettingsSection, kModelKey, name);
        } catch (const IniWriteError& error) {
            m_desktop.showMessage(QStringLiteral("Parlotext"), QString::fromStdString(error.what()),
                                  MessageIcon::Error);
        }
    });
}

void TAppForm::restoreModelChoice()
{
    const auto saved = m_settingsIni->readString(kSettingsSection, kModelKey);
    // A value this program does not know (edited by hand, or from a later edition) leaves
    // the default checked rather than sending the service a size it may refuse.
    const QString name = saved && IsModelName(*saved) ? *saved : kDefaultModelName;
    for (QAction* action : m_modelGroup->actions())
        action->setChecked(action->data().toString() == name);
}

QString TAppForm::chosenModelName() const
{
    const QAction* checked = m_modelGroup->checkedAction();
    return checked ? checked->data().toString() : kDefaultModelName;
}
