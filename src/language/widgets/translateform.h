#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class Desktop;
class QComboBox;
class QLabel;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class TextCatalogue;

// What the language window needs from the program around it.
struct TranslateFormSetup {
    QString dataFolder;       // where the restart script goes
    QString programFile;      // the program the script starts again
    QUrl translationPage;     // the maker's page for volunteer translators
    bool restartPause = true; // whether the script waits a second first
    // Keeps the chosen language file name for the next start; may throw.
    std::function<void(const QString&)> SetLanguageFile;
    // Ends the program's event loop.
    std::function<void()> quitApplication;
};

// The language selected when the language window was last created. It outlives the window.
QString& OpeningLanguage();

// The language window: the interface language among the language files found at start-up,
// who translated it, and a restart of the program that makes the choice take effect.
class TTranslateForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TTranslateForm)

public:
    // The role of a list item's picture index.
    static constexpr int PictureRole = Qt::UserRole + 1;

    TTranslateForm(const TextCatalogue& catalogue, TranslateFormSetup setup, Desktop& desktop,
                   QWidget* parent = nullptr);
    ~TTranslateForm() override;

    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* RichEdit1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Button1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* SelectAll1 = nullptr;

public slots:
    void ComboBox1Change();
    void Button1Click();
    void Label3Click();
    void Copy1Click();
    void SelectAll1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    // Names, descriptions and keyboard paths for assistive technology.
    void setUpAccessibility();
    QString translate(const QString& key) const;

    const TextCatalogue& m_catalogue;
    TranslateFormSetup m_setup;
    Desktop& m_desktop;
    bool m_linkPressed = false;
};
