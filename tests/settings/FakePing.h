#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A stand-in for the system's ping, made the ping program of the probes while it lives: a shell script that answers
// each host as told (by default: the host is unknown, exit code 2).
class FakePing
{
public:
    FakePing();
    ~FakePing();

    FakePing(const FakePing&) = delete;
    FakePing& operator=(const FakePing&) = delete;

    // Prints an iputils summary with this average and exits with 0.
    void reply(const QString& host, int averageMs);
    // Prints output (lines) and exits with exitCode.
    void answer(const QString& host, const QString& output, int exitCode);
    // Never ends by itself.
    void hang(const QString& host);
    // A fragment of shell run for the host ("*" for every host without its own).
    void script(const QString& host, const QString& fragment);

    // The arguments of each run for host, one text a run.
    QStringList commandLines(const QString& host) const;
    int runs(const QString& host) const { return commandLines(host).size(); }

    QString programPath() const;

private:
    QTemporaryDir m_dir;
};
