#include "platform/qtdesktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

namespace {

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString QtFileDialogFilter(const QStringList& filters)
{
    QStringList entries;
    for (const QString& filter : filters) {
        const QString name = filter.section(QLatin1Char('|'), 0, 0);
        // "*.mp3;*.wav" lists patterns the Windows way; Qt separates them by blanks.
        QString pattern = filter.section(QLatin1Char('|'), 1, 1);
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(name, pattern);
    }
    return entries.join(QStringLiteral(";;"));
}

void QtDesktop::showMessage(const QString& title, const QString& text, MessageIcon icon)
{
    // Texts may break lines with a lone carriage return, which a Qt label does not show as
    // a break.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(toQtIcon(icon), title, shown, QMessageBox::Ok, dialogParent());
    // Messages carry file names and the services' texts: shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

namespace {

enum class DefaultAnswer { Yes, No };

// A modal question with its own buttons; Enter gives the default answer, Escape "no".
bool askWithDefault(const QString& title, const QString& text, const QString& yesText,
                    const QString& noText, DefaultAnswer defaultAnswer)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, dialogParent());
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(yesText, QMessageBox::YesRole);
    QPushButton* no = box.addButton(noText, QMessageBox::NoRole);
    box.setDefaultButton(defaultAnswer == DefaultAnswer::Yes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace

bool QtDesktop::askQuestion(const QString& title, const QString& text, const QString& yesText,
                            const QString& noText)
{
    // Enter confirms: the question is asked only after the user has chosen to go on.
    return askWithDefault(title, text, yesText, noText, DefaultAnswer::Yes);
}

void QtDesktop::beep()
{
    QApplication::beep();
}

bool QtDesktop::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

QString ConfirmedSaveFile(const std::function<QString()>& showDialog,
                          const std::function<bool(const QString&)>& allowReplace,
                          const QString& defaultSuffix)
{
    for (;;) {
        QString path = showDialog();
        if (path.isEmpty())
            return {};
        const QFileInfo chosen(path);
        if (!defaultSuffix.isEmpty() && !chosen.isDir() &&
            !chosen.fileName().contains(QLatin1Char('.')))
            path += QLatin1Char('.') + defaultSuffix;
        if (!QFileInfo::exists(path) || allowReplace(path))
            return path;
    }
}

QString QtDesktop::chooseSaveFile(const QStringList& filters, const QString& defaultSuffix)
{
    QFileDialog dialog(dialogParent());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QtFileDialogFilter(filters));
    dialog.setDefaultSuffix(defaultSuffix);
    // The question comes after the dialog, on the name the file will really have.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const auto showDialog = [&dialog]() -> QString {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    };
    // Replacing a file loses what it held: Enter keeps it.
    const auto allowReplace = [](const QString& path) {
        return askWithDefault(QStringLiteral("Confirm Save As"),
                              QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                  .arg(QFileInfo(path).fileName()),
                              QStringLiteral("Yes"), QStringLiteral("No"), DefaultAnswer::No);
    };
    return ConfirmedSaveFile(showDialog, allowReplace, defaultSuffix);
}

QString QtDesktop::chooseOpenFile(const QStringList& filters)
{
    return QFileDialog::getOpenFileName(dialogParent(), QString(), QString(),
                                        QtFileDialogFilter(filters));
}

bool QtDesktop::startDetached(const QString& program, const QStringList& arguments,
                              const QString& workingFolder)
{
    return QProcess::startDetached(program, arguments, workingFolder);
}
