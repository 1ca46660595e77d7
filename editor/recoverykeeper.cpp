#include "editor/recoverykeeper.h"

#include "widgets/qtpath.h"

#include <QDateTime>

#include <algorithm>

#include <utility>

namespace editor {

namespace {

// At most one write this often while steps come quickly.
constexpr int WriteEveryMs = 1000;

} // namespace

RecoveryKeeper::RecoveryKeeper(const LevelDocument& document, QString startFolder,
                               std::function<QString()> levelFile, QObject* parent)
    : QObject(parent)
    , m_document(document)
    , m_startFolder(std::move(startFolder))
    , m_levelFile(std::move(levelFile))
    , m_gapMs(WriteEveryMs) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
    connect(&document, &LevelDocument::historyChanged, this, &RecoveryKeeper::documentChanged);
    connect(&document, &LevelDocument::modifiedChanged, this, &RecoveryKeeper::documentChanged);
}

// The slot removes its file as it goes.
RecoveryKeeper::~RecoveryKeeper() = default;

QString RecoveryKeeper::path() const {
    return m_slot ? widgets::fromCorePath(m_slot->path()) : QString();
}

// The first change after a quiet second is written on the next turn of the event loop; later
// ones wait for the second since the last write to pass.
void RecoveryKeeper::documentChanged() {
    ++m_changes;
    if (m_timer.isActive())
        return;
    const qint64 since = m_sinceWrite.isValid() ? m_sinceWrite.elapsed() : m_gapMs;
    m_timer.start(static_cast<int>(std::max<qint64>(0, m_gapMs - since)));
}

void RecoveryKeeper::writeNow() {
    m_timer.stop();
    if (m_changes == m_written)
        return;
    m_written = m_changes;
    m_sinceWrite.start();
    if (!m_document.isModified()) {
        if (m_hasFile && m_slot)
            (void)m_slot->Remove();
        m_hasFile = false;
        return;
    }
    if (!m_slot) {
        auto folder = level::RecoveryFolder();
        auto slot = folder ? level::RecoverySlot::Open(*folder)
                           : level::Result<std::unique_ptr<level::RecoverySlot>>(folder.error());
        if (!slot) {
            if (!m_toldFailure)
                emit failed(widgets::toQString(slot.error().Message()));
            m_toldFailure = true;
            return;
        }
        m_slot = std::move(*slot);
    }
    const level::RecoveryFacts facts{widgets::toCorePath(m_startFolder),
                                     widgets::toCorePath(m_levelFile()),
                                     QDateTime::currentSecsSinceEpoch()};
    QElapsedTimer took;
    took.start();
    const auto written = m_slot->Write(facts, m_document.lines().Lines());
    m_gapMs = std::max<qint64>(WriteEveryMs, 10 * took.elapsed());
    if (!written) {
        if (!m_toldFailure)
            emit failed(widgets::toQString(written.error().Message()));
        m_toldFailure = true;
        return;
    }
    m_hasFile = true;
}

} // namespace editor
