#pragma once

#include "about/aboutrules.h"
#include "about/matrixeffect.h"
#include "core/appidentity.h"
#include "platform/borderlessdrag.h"

#include <QIcon>
#include <QImage>
#include <QUrl>
#include <QWidget>

#include <functional>

class Desktop;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

// What the about window shows and where its links lead.
struct AboutBoxInfo {
    AppIdentity identity;
    QUrl makerWeb;         // the maker's web host
    QString programFolder; // license.txt lives here
    QIcon appIcon;
};

// The about window: a small black tool window with the program's icon, logo, name and
// version, OK and Info buttons and a link to the maker's site, with falling characters
// running around its content. It frees itself when it closes.
class TAboutBox final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAboutBox)

public:
    TAboutBox(const AboutBoxInfo& info, Desktop& desktop, QWidget* parent = nullptr);
    ~TAboutBox() override;

    QWidget* Panel1 = nullptr;
    QLabel* Image2 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QLabel* Label5 = nullptr;
    QWidget* PanelEgg = nullptr;
    QLabel* ImageEgg = nullptr;
    QTimer* tmTimer = nullptr;
    QTimer* TimerEgg = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Credits1 = nullptr;
    QAction* Howtouninstall1 = nullptr;
    QAction* LicensePrivacyPolicy1 = nullptr;

    // Seams. The system's millisecond tick count, wrapping like a 32-bit counter.
    std::function<quint32()> tickCount;
    // Shows a menu at a screen point and returns when it has closed.
    std::function<void(QMenu* menu, QPoint screenPoint)> showPopup;
    // The scale the pictures are drawn for; the window's device pixel ratio by default.
    std::function<qreal()> pixelRatio;

    // Handlers, callable directly so that tests need neither real time nor a pointer.
    void tmTimerTimer();
    void TimerEggTimer();
    void Image1DblClick();
    void ImageEggDblClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void Label5Click();
    void Credits1Click();
    void Howtouninstall1Click();
    void LicensePrivacyPolicy1Click();
    void FormAfterMonitorDpiChanged();
    void PopupUnderButton(QPushButton* button, QMenu* menu);

    const MatrixEffect& effect() const { return m_effect; }
    MatrixEffect& effect() { return m_effect; }
    // The window's own surface, where the effect draws.
    const QImage& surface() const { return m_surface; }
    bool isDragging() const { return m_drag.isDragging(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Surface;

    void FormCreate();
    // Names, descriptions and keyboard paths for assistive technology.
    void setUpAccessibility();
    void StartMatrix();
    void HighDPIImageYukle();
    void FormMouseDown(QMouseEvent* event);
    void FormMouseMove(QMouseEvent* event);
    void FormMouseUp(QMouseEvent* event);

    AboutBoxInfo m_info;
    Desktop& m_desktop;
    MatrixEffect m_effect;
    QImage m_surface;
    PopupRepeatGuard m_popupGuard;
    bool m_screenWatched = false;

    BorderlessDrag m_drag{*this};
};
