#pragma once

#include "ui/common/ToastDialog.h"
#include "ui/common/ZmBaseDialog.h"

#include <QEvent>
#include <QPointer>
#include <QString>
#include <QUrl>

class QDialog;
class QGridLayout;
class QRadiusMenu;
class ZmMainWebRoom;

// The program's home window: a frameless window whose client area is the home page (ZmMainWebRoom) and whose title
// bar carries the browser buttons, a settings menu, courseware import and close. The window router creates it once,
// hides it while a class room or replay is open and shows it again afterwards; hidden, its page keeps a heartbeat.
// Back, Forward, Home and Import show only while a user is signed in on the page; a user without chosen devices is
// led through the device check right after signing in. The window holds at most one dialog over itself
// (setCurModalDialog). Escape does not close it. GUI thread only.
class ZmMainRoomDlg : public ZmBaseDialog
{
    Q_OBJECT

public:
    // A posted event of this type puts the title bar into its maximised state.
    static constexpr QEvent::Type kMaximizeEventType = QEvent::Type(2632);
    // The restored size.
    static constexpr int kNormalWidth = 1100;
    static constexpr int kNormalHeight = 650;

    explicit ZmMainRoomDlg(QWidget* parent = nullptr);
    ~ZmMainRoomDlg() override;

    // The home page address: the offline resources' local index page with "?mode=&language=&v=" (language "zh-CN"
    // for "cn", else "en").
    static QUrl homeAddressFor(const QString& indexPage, const QString& webMode, const QString& language,
                               const QString& version);

    // Publishes the page's channel object, connects the page's sign-in, sign-out and lesson signals (queued) and
    // fills the available desktop area. Once, by the router right after creating the window.
    void wireWebRoom();
    // The instructional video page: "AppInfo/Video_URL_HelpVideo" of the settings file at iniPath (a built-in page
    // without it), every "*" read as "="; empty (and logged) when it is not an http or https address.
    static QUrl helpVideoAddress(const QString& iniPath);

    // Builds the home address from the application data and the installed offline resources and loads it.
    void loadHomePage();
    QUrl homeAddress() const { return m_homeAddress; }

    // Set once the router has shown the window; cleared when the router closes it for good.
    bool isShownByRouter() const { return m_shownByRouter; }
    void setShownByRouter(bool shown) { m_shownByRouter = shown; }

    // QDialog::setVisible; once shown by the router, showing stops the page's heartbeat and hiding starts it.
    void setVisible(bool visible) override;

    // Holds dialog as the one dialog over the window: the one held before is rejected and deleted later. Holding the
    // same dialog again is logged and changes nothing. Null just lets the held one go. Always true.
    Q_INVOKABLE bool setCurModalDialog(QDialog* dialog);
    Q_INVOKABLE QDialog* curModalDialog() const;

    // The rendering settings dialog, held as the window's dialog and shown without blocking.
    void openSystemSettings();

    ZmMainWebRoom* webRoom() const { return m_webRoom; }
    // The settings menu last popped up (tests); null before the first.
    QRadiusMenu* settingsMenu() const;
    ToastDialog* toast() { return &m_toast; }

public slots:
    // The device-check wizard over the window, without blocking; bCanClose false hides its close buttons. The title
    // bar's Setting button is disabled until the wizard is done.
    void popupCheckSystemDlg(bool bCanClose);
    void popupCheckSystemDlg();
    // Opens the instructional video page (helpVideoAddress of the program-folder settings) with the desktop's
    // handler.
    void popupVideoWebTip();
    void onButtonCloseClicked();
    void onButtonReloadClicked();
    void onButtonSettingClicked();
    void onButtonBackwardClicked();
    void onButtonForwardClicked();
    void onButtonHomeClicked();
    void onButtonImportClicked();
    // The page entered a lesson: the start status of the stored ui type goes to the router.
    void onWebGotoLesson();
    void onWebLoginSuccess();
    void onWebLeaveSuccess();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A close by the window manager (its close button, Alt+F4) asks as the title bar's close does; the router's and
    // a restart's closes go through.
    void closeEvent(QCloseEvent* event) override;

    // The courseware archive the user picks; empty when none. Tests replace the file dialog.
    virtual QString chooseCoursewareZip();
    // Starts the program anew and closes this copy's windows; false when the new copy did not start.
    virtual bool restartProgram();

private:
    void buildForm();
    void setUpTitleBar();
    void setSignedInButtonsVisible(bool visible);
    // The cache clearing's question; on OK the cache is cleared at a restart.
    void askToClearCache();
    void clearCacheAndRestart();
    // A notice with one button, held as the window's dialog.
    void showNotice(const QString& text);

    ToastDialog m_toast;
    QGridLayout* m_outerLayout = nullptr;
    QGridLayout* m_innerLayout = nullptr;
    ZmMainWebRoom* m_webRoom = nullptr;
    QUrl m_homeAddress;
    bool m_shownByRouter = false;
    QPointer<QDialog> m_curModalDialog;
    QPointer<QRadiusMenu> m_settingsMenu;
};
