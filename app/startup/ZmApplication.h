#pragma once

#include "app/LaunchOptions.h"

#include <QApplication>
#include <QStringList>

class ZmRouteManager;

// The program's application object. Turns the process arguments into option texts, parses them into the
// application data and the URL configuration (exchanging the login token with the class service), checks that a
// lesson start has what it needs, chooses the start status, and posts the application events to the window
// router it owns. Links opened while it runs (file-open events) are parsed and routed like a command line.
class ZmApplication : public QApplication
{
    Q_OBJECT

public:
    // Builds the process-wide argument storage from argumentList on first use (the toolkit keeps its
    // pointers until exit) and installs the object as its own event filter.
    explicit ZmApplication(const QStringList& argumentList);
    ~ZmApplication() override; // deletes the window router

    // The application object, or null when the running one is of another class.
    static ZmApplication* instance();

    // Fills the application data and the URL configuration from the option texts; may exchange the login
    // token synchronously. fromLink marks the texts that come from a link (LaunchOptions::parse).
    void parseCommandLine(const QStringList& list, const QVector<bool>& fromLink = {});
    // False when a lesson start lacks its account type or class kind; the lines are in errors().
    bool checkParams();
    QStringList errors() const { return m_launchOptions.errors(); }
    const LaunchOptions& launchOptions() const { return m_launchOptions; }

    // Posts the start status of the launch record's app type and ui type (nothing for a lesson start of an
    // unknown class kind).
    void postStartStatus();

    // Post an event to the window router; dropped while there is none. Any thread.
    static void postAppStatusEvent(int status);
    static void postAppEvent(int code);

    // Creates the window router once and calls its init().
    void createRouteManager();
    ZmRouteManager* routeManager() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // An opened link's option texts: parsed like a command line, every text as one of a link, then the start
    // status is posted. The parameter check does not run for links.
    void URLInComing(int count, const QStringList& list);

    // Information box "Information" with one button, Yes.
    static void showInformation(const QString& text);

    // The argument storage the toolkit was started with.
    static int argumentCount();
    static char** argumentVector();

private:
    LaunchOptions m_launchOptions;
};
