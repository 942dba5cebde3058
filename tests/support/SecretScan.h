#pragma once

#include <QString>
#include <QStringList>

namespace ZmTest {

class Simulator;

// What a run leaves behind, one text per place, each "<where>: <content>", and the secrets found in it.

// The secret the program signs page addresses with (net/api/UrlSigner.cpp).
inline const QString kPageSigningSecret = QStringLiteral("3f9a71c2e8b04d5a96c1e7f20b8d4a6e");

// Every file under folder, sub-folders included.
QStringList filesUnder(const QString& folder);

// The files of every archive the simulator's object storage holds.
QStringList uploadedArchiveFiles(Simulator& simulator);

// "<secret> in <where>: ...<context>..." for the first secret that one of texts holds; empty when none does. A
// secret shorter than 8 characters is reported as such: it would be found by chance.
QString firstSecretIn(const QStringList& texts, const QStringList& secrets);

} // namespace ZmTest
