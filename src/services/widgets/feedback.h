#pragma once

#include "core/appidentity.h"
#include "core/endpoints.h"

#include <QDialog>
#include <QFrame>

class Desktop;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class ServiceRequest;

// One of the two like / dislike panels: a caption with a face, clicked to choose it.
class FeedbackChoicePanel final : public QFrame {
    Q_OBJECT

public:
    FeedbackChoicePanel(const QPixmap& face, QWidget* parent);

    QString caption() const;
    void setCaption(const QString& caption);
    QLabel* image() const { return m_image; }
    // Chosen whenever the background is not the button face.
    bool isChosen() const;
    void setChosen(bool chosen);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* m_image;
    QLabel* m_caption;
    bool m_pressed = false;
};

// The feedback window: what the user likes or dislikes, an optional e-mail address, and
// one request to the maker's service. While the request runs the window keeps painting
// but takes no input; a failed send leaves everything the user entered in place.
class TFeedbackForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFeedbackForm)

public:
    static constexpr int kMemoMaxLength = 10000;
    static constexpr int kEmailMaxLength = 100;

    TFeedbackForm(AppIdentity identity, Endpoints endpoints, Desktop& desktop,
                  QWidget* parent = nullptr);
    ~TFeedbackForm() override;

    QWidget* Panel3 = nullptr;
    FeedbackChoicePanel* Panel4 = nullptr;
    QLabel* Image1 = nullptr;
    FeedbackChoicePanel* Panel5 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QWidget* Panel2 = nullptr;
    QPushButton* BitBtn1 = nullptr;

    // Every time-out of one attempt; tests shorten it.
    int timeoutMs = 3000;
    bool isSending() const { return m_request != nullptr; }

public slots:
    void Image1Click();
    void Image2Click();
    void BitBtn1Click();

signals:
    // After a send has ended and its message has been shown.
    void sendFinished(bool succeeded);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    // Names, descriptions and keyboard paths for assistive technology.
    void setUpAccessibility();
    void onSendFinished();
    void limitMemoLength();

    AppIdentity m_identity;
    Endpoints m_endpoints;
    Desktop& m_desktop;
    ServiceRequest* m_request = nullptr;
    int m_lastInsertStart = 0;
    int m_lastInsertEnd = 0;
};
