#include "FakePing.h"

#include "settings/AsyncPing.h"

#include <QDir>
#include <QFile>

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

QString shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

FakePing::FakePing()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("hosts"));
    QDir(m_dir.path()).mkpath(QStringLiteral("runs"));
    writeFile(programPath(), "#!/bin/sh\n"
                             "for host; do :; done\n"
                             "dir=$(dirname \"$0\")\n"
                             "echo \"$*\" >> \"$dir/runs/$host\"\n"
                             "fragment=\"$dir/hosts/$host\"\n"
                             "[ -f \"$fragment\" ] || fragment=\"$dir/hosts/*\"\n"
                             "[ -f \"$fragment\" ] && . \"$fragment\"\n"
                             "echo \"ping: $host: Name or service not known\" >&2\n"
                             "exit 2\n");
    QFile::setPermissions(programPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    AsyncPing::setPingProgram(programPath());
}

FakePing::~FakePing()
{
    AsyncPing::setPingProgram(QStringLiteral("ping"));
}

QString FakePing::programPath() const
{
    return m_dir.filePath(QStringLiteral("ping"));
}

void FakePing::script(const QString& host, const QString& fragment)
{
    writeFile(m_dir.filePath(QStringLiteral("hosts/") + host), fragment.toUtf8() + '\n');
}

void FakePing::reply(const QString& host, int averageMs)
{
    answer(host,
           QStringLiteral("2 packets transmitted, 2 received, 0% packet loss, time 1001ms\n"
                          "rtt min/avg/max/mdev = 0.5/%1.000/9.5/0.2 ms")
               .arg(averageMs),
           0);
}

void FakePing::answer(const QString& host, const QString& output, int exitCode)
{
    script(host, QStringLiteral("printf '%s\\n' %1\nexit %2").arg(shellQuoted(output)).arg(exitCode));
}

void FakePing::hang(const QString& host)
{
    script(host, QStringLiteral("exec sleep 60"));
}

QStringList FakePing::commandLines(const QString& host) const
{
    QFile file(m_dir.filePath(QStringLiteral("runs/") + host));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
