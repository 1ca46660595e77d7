#pragma once

#include "core/recovery.h"
#include "editor/document/leveldocument.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

namespace editor {

// Keeps the recovery file of the rows while they differ from what was last saved or loaded: after
// each step of the history, written at most about once a second while steps come quickly and
// always within a second or two after the last, by the event loop (nothing runs beside a
// handler). A write of tens of megabytes takes a good part of a second: the next one then waits
// ten times as long as it took, so that writing never holds the window more than a tenth of the
// time. Removed when the rows are as saved again, and when the editor ends normally (the
// keeper goes). A write that fails is told once (failed), not at every step.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // levelFile: the level file the rows came from or were saved to ("" for none).
    RecoveryKeeper(const LevelDocument& document, QString startFolder,
                   std::function<QString()> levelFile, QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    // Writes (or removes) the recovery file now if the rows changed since the last write.
    void writeNow();
    // The recovery file, once one was written (for messages and tests).
    QString path() const;

signals:
    void failed(const QString& message);

private:
    void documentChanged();

    const LevelDocument& m_document;
    QString m_startFolder;
    std::function<QString()> m_levelFile;
    std::unique_ptr<level::RecoverySlot> m_slot;
    QTimer m_timer;
    QElapsedTimer m_sinceWrite;
    qint64 m_gapMs;              // the least time between two writes
    std::uint64_t m_changes = 0; // steps (and saves) so far
    std::uint64_t m_written = 0; // ...when the file was last written or removed
    bool m_hasFile = false;
    bool m_toldFailure = false;
};

} // namespace editor
