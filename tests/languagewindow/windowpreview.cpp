// Not a test: shows the language window over a folder of sample language files, so that
// its look can be checked by eye (docs/language-window.png).
#include "language/textcatalogue.h"
#include "language/widgets/translateform.h"
#include "support/recordingdesktop.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTemporaryDir program;
    QDir(program.path()).mkdir(QStringLiteral("Languages"));
    const char* names[] = {"German",  "French",  "Turkish",          "Japanese",          "Klingon",
                           "Spanish", "Swedish", "PortugueseBrazil", "ChineseSimplified", "Korean"};
    for (const char* name : names) {
        QFile file(
            program.filePath(QStringLiteral("Languages/%1.lang.txt").arg(QLatin1String(name))));
        if (file.open(QIODevice::WriteOnly))
            file.write("{INFO:Translated By}Anna Schmidt, J\xC3\xB6rg Weber, Li Wei,\n");
    }
    TextCatalogue catalogue;
    catalogue.LoadLanguage(program.path(), 1033, QStringLiteral("German.lang.txt"));
    RecordingDesktop desktop;
    TranslateFormSetup setup;
    setup.dataFolder = program.path();
    setup.programFile = QCoreApplication::applicationFilePath();
    setup.translationPage = QUrl(QStringLiteral("https://www.maker.example/translation/"));
    TTranslateForm window(catalogue, setup, desktop);
    window.show();
    // "popup" as the first argument opens the list too.
    if (argc > 1 && QByteArray(argv[1]) == "popup")
        QTimer::singleShot(300, &window, [&window] { window.ComboBox1->showPopup(); });
    return application.exec();
}
