// SPDX-License-Identifier: MIT
// Quenrow: the text boxes that show a row's energy and stopping power.
#pragma once

#include <QHash>
#include <QImage>
#include <QLineEdit>
#include <QStyle>

#include <optional>

namespace quenrow {

// A row change under the pointer gives both boxes a new value, and a line
// edit lays out, shapes and draws its text again on every paint. A box that
// is not being edited looks the same every time it shows the same text in the
// same state, so when its text changes that look is painted by QLineEdit into
// an image, once, and from then on copied. A box with focus (cursor,
// selection, input method) paints as usual.
class ReadoutBox final : public QLineEdit {
public:
    explicit ReadoutBox(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // What a box's pixels depend on besides its text.
    struct Look {
        const QStyle *style = nullptr;
        QSize size;
        qreal ratio = 0;
        qint64 palette = 0;
        QRgb fill = 0;
        QStyle::State state;
        QFont font;
        Qt::Alignment alignment;
        bool operator==(const Look &) const = default;
    };

    std::optional<Look> keptLook() const;
    void keepText();
    bool textFits() const;

    bool keeping_ = false; // QLineEdit paints into a kept image
    Look look_;
    QHash<QString, QImage> images_;
    qsizetype keptBytes_ = 0;
};

} // namespace quenrow
