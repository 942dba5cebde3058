#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class AppGlobalData;
class UrlConfig;
struct LaunchInfo;

// The options of one command line or opened link and what they do to the application data and the URL
// configuration; the parameter check of a lesson start and the start status it asks for.
class LaunchOptions
{
public:
    // Exchanges the login token given on the command line for the token of this session; empty when the
    // exchange failed.
    using TokenExchange = std::function<QString(const QString& userId, const QString& tokenText)>;

    // Logs the list, rebuilds the options table from it and applies the options in their fixed order. Absent
    // options change nothing; exchange is called when the credentials carry a token. fromLink[i] true marks
    // list[i] as a piece of a link, which any web page may open: its service addresses ("--urlapi" and the
    // like) are taken only when they lead to an origin the program already trusts (built-in defaults, the
    // settings, the command line outside links), else they are left out with a warning.
    void parse(const QStringList& list, AppGlobalData& data, UrlConfig& urls, const TokenExchange& exchange,
               const QVector<bool>& fromLink = {});

    // True when the launch record can start: no app type, or an account type and a ui type. Otherwise the lines
    // that tell what is missing are in errors().
    bool checkParams(const LaunchInfo& launch);

    // The names (lower case, with their "--") of the options that parse() and checkParams() read.
    static QStringList readOptionNames();

    const QHash<QString, QString>& options() const { return m_options; }
    const QStringList& errors() const { return m_errors; }

    // The start status for an app type and ui type (AppStartStatus); 0 when a lesson start names no known
    // class kind, so that nothing is to be posted.
    static int startStatusFor(int appType, int uiType);

private:
    void applyCredentials(AppGlobalData& data, const TokenExchange& exchange);
    // The list without the service addresses of link pieces that lead elsewhere than a trusted origin.
    QStringList withoutStrayLinkAddresses(const QStringList& list, const QVector<bool>& fromLink,
                                          const UrlConfig& urls);

    QHash<QString, QString> m_options;
    // Origins of the service addresses configured so far; they only grow.
    QSet<QString> m_trustedOrigins;
    QStringList m_errors;
};
