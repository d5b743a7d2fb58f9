#pragma once

#include "platform/borderlessdrag.h"

#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>

class Desktop;
class QTimer;
class QToolButton;
class QVariantAnimation;

// A label that reports a left click made on it; the notice's download link.
class NoticeLinkLabel final : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

// What the notice announces and where its link leads.
struct NewVersionInfo {
    QString appProduct;
    QString LatestVersion;
    QString DownloadURL;
    QUrl homePage; // the maker's home page, for an answer without a download address
    QIcon appIcon;
};

// The new-version notice: a small borderless always-on-top window in the top-right corner
// of the screen. It opens itself about a millisecond after creation, closes by itself
// after eleven seconds, and its link opens the download page. Closing only hides it.
class TNewVer final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TNewVer)

public:
    static constexpr int kClientWidth = 320;
    static constexpr int kClientHeight = 68;
    static constexpr int kAnimationMs = 100;
    static constexpr int kCloseCountdownStart = 11;

    // mainWindow gets the focus back once the notice is shown; it also owns the notice.
    TNewVer(NewVersionInfo info, Desktop& desktop, QWidget* mainWindow);
    ~TNewVer() override;

    QWidget* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QWidget* Panel3 = nullptr;
    QToolButton* Button1 = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    NoticeLinkLabel* Label2 = nullptr;
    QTimer* TimerStart = nullptr;
    QTimer* TimerClose = nullptr;
    QTimer* TimerLink = nullptr;

    int closeCountdown() const { return m_closeCountdown; }
    bool isDragging() const { return m_drag.isDragging(); }
    bool isAnimating() const;
    // The opening and closing animation; tests set its time instead of waiting for it.
    QVariantAnimation* animation() const { return m_animation; }
    QColor linkColour() const { return m_linkColour; }
    QColor hoverColour() const { return m_hoverColour; }
    // Where the cursor is on the screen; tests put it where they like.
    std::function<QPoint()> cursorPosition;

public slots:
    void TimerStartTimer();
    void TimerCloseTimer();
    void TimerLinkTimer();
    void Label2Click();
    void Button1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FormCreate();
    // Names, descriptions and keyboard paths for assistive technology.
    void setUpAccessibility();
    void FormMouseDown(QMouseEvent* event);
    void FormMouseMove(QMouseEvent* event);
    void FormMouseUp(QMouseEvent* event);
    // Opens (forward) or closes the window from and towards its centre point.
    void animate(bool opening);
    void applyRevealedFraction(double fraction);

    NewVersionInfo m_info;
    Desktop& m_desktop;
    QPointer<QWidget> m_mainWindow;
    int m_closeCountdown = kCloseCountdownStart;
    BorderlessDrag m_drag{*this};
    QVariantAnimation* m_animation = nullptr;
    QColor m_linkColour;
    QColor m_hoverColour;
};
