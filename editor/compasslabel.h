#pragma once

#include <QLabel>
#include <QStringList>

namespace editor {

// The heading compass of the ship panel: its caption is one line of blank-separated marks
// ("0", "90  X  270", "180" in a row), which it shows as three centred rows, the first mark
// on top, the last at the bottom and the rest across the middle, whatever the font's word
// wrap would make of it. text() stays the caption as given.
class CompassLabel : public QLabel {
    Q_OBJECT
public:
    explicit CompassLabel(const QString& caption, QWidget* parent = nullptr);

    // The rows the caption is shown in: top, middle, bottom. A caption of fewer than three
    // marks is one row.
    static QStringList rows(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace editor
