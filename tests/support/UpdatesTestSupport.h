#pragma once

#include "TestFiles.h"
#include "ZipFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace UpdatesTest {

using ZmTest::readFile;
using ZmTest::writeFile;
using ZmTest::zipBytes;

// Deterministic bytes that do not compress to nothing.
inline QByteArray patternBytes(int size, quint32 seed = 7)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 state = seed * 2654435761u + 1;
    for (int i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        data[i] = char(state >> 16);
    }
    return data;
}

// Every file, folder and link below root (relative path -> size and modification time of files and links), to
// find writes.
inline QMap<QString, QString> snapshotTree(const QString& root)
{
    QMap<QString, QString> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        // A folder's own time changes with its entries; only files and links count as writes.
        const QString state =
            info.isDir() && !info.isSymLink()
                ? QStringLiteral("folder")
                : QStringLiteral("%1/%2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
        tree.insert(QDir(root).relativeFilePath(info.filePath()), state);
    }
    return tree;
}

// Paths that are new or changed in after, relative to the snapshot root.
inline QStringList changedPaths(const QMap<QString, QString>& before, const QMap<QString, QString>& after)
{
    QStringList changed;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!it.key().isEmpty() && before.value(it.key()) != it.value())
            changed.append(it.key());
    }
    return changed;
}

// Acts on windows that show up while a blocking call (exec()) runs: each step waits for a visible top-level
// widget of its type for which its condition holds, runs its action once and makes way for the next step.
class DialogDriver : public QObject
{
public:
    using Action = std::function<void(QWidget*)>;
    using Condition = std::function<bool(QWidget*)>;

    DialogDriver()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    template <typename T> void when(std::function<void(T*)> action, std::function<bool(T*)> condition = {})
    {
        Step step;
        step.find = [](QWidget* widget) { return qobject_cast<T*>(widget) != nullptr; };
        step.condition = [condition](QWidget* widget) { return !condition || condition(qobject_cast<T*>(widget)); };
        step.action = [action](QWidget* widget) { action(qobject_cast<T*>(widget)); };
        m_steps.append(step);
    }

    bool allDone() const { return m_steps.isEmpty(); }
    int pending() const { return m_steps.size(); }

    // Clicks the child button of that object name.
    static bool click(QWidget* window, const char* buttonName)
    {
        auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(buttonName));
        if (!button)
            return false;
        button->click();
        return true;
    }

private:
    struct Step
    {
        Condition find;
        Condition condition;
        Action action;
    };

    void poll()
    {
        if (m_steps.isEmpty())
            return;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible() || !m_steps.first().find(widget) || !m_steps.first().condition(widget))
                continue;
            const Step step = m_steps.takeFirst();
            // Outside this timer's own activation: an action that blocks in a nested loop (a question it opens)
            // must not stop the timer from serving the next step.
            const QPointer<QWidget> target(widget);
            QTimer::singleShot(0, this, [step, target] {
                if (target)
                    step.action(target);
            });
            return;
        }
    }

    QTimer m_timer;
    QList<Step> m_steps;
};

} // namespace UpdatesTest
