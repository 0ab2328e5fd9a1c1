#pragma once
// Tests that reading a FIFO never blocks: the code under test runs on a thread
// of its own, and should it still run after a generous time (a read or an open
// waiting for a writer), every FIFO given gets a writer that closes at once,
// which ends such a wait, and the check fails instead of hanging the tests.

#include <QString>
#include <QStringList>

#include <functional>

namespace marunoki::test {

// Makes a FIFO at path; false when the platform refuses.
bool makeFifo(const QString &path);

// Runs body; true when it ended by itself within a minute.
bool endsWithoutAWriter(const std::function<void()> &body, const QStringList &fifos);

}  // namespace marunoki::test
