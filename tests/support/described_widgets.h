#pragma once
// Checks a Qt window against its toolkit-free description: every described
// control the window builds as a widget has its design name, place, size,
// caption, font, text colour and visibility.

#include "ui/window_description.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace described_widgets {

inline QString qt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The caption a widget shows, whatever its kind.
inline QString captionOf(const QWidget& widget) {
    if (auto* button = qobject_cast<const QPushButton*>(&widget)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
    if (auto* box = qobject_cast<const QGroupBox*>(&widget)) return box->title();
    if (auto* edit = qobject_cast<const QLineEdit*>(&widget)) return edit->text();
    return {};
}

inline void expectMatches(const QWidget& widget, const ui::ControlDescription& control) {
    const std::string& name = control.name;
    const ui::Rect& rect = control.rect;
    EXPECT_EQ(widget.pos(), QPoint(rect.left, rect.top)) << name;
    if (control.autoSize) {
        EXPECT_GT(widget.width(), 0) << name;
    } else if (control.wordWrap) {
        EXPECT_EQ(widget.width(), rect.width) << name;
        EXPECT_GE(widget.height(), rect.height) << name << ": a taller font may need more room, never less";
    } else {
        EXPECT_EQ(widget.size(), QSize(rect.width, rect.height)) << name;
    }
    EXPECT_EQ(widget.isHidden(), !control.visible) << name;
    if (control.kind != ui::ControlKind::TabPage) {
        EXPECT_EQ(captionOf(widget), qt(control.caption)) << name;
    }
    EXPECT_EQ(widget.font().bold(), control.font.bold) << name;
    EXPECT_EQ(widget.font().pixelSize(), control.font.pixelHeight) << name;
    EXPECT_EQ(widget.font().families().value(0), qt(control.font.face)) << name;
    if (control.textColour && !control.textColour->isSystem()) {
        const QPalette::ColorRole role =
            control.kind == ui::ControlKind::Button ? QPalette::ButtonText : QPalette::WindowText;
        const ui::Colour& colour = *control.textColour;
        EXPECT_EQ(widget.palette().color(role), QColor(colour.red, colour.green, colour.blue)) << name;
    }
    if (auto* memo = qobject_cast<const QPlainTextEdit*>(&widget)) {
        QStringList lines;
        for (const std::string& line : control.lines) lines << qt(line);
        EXPECT_EQ(memo->toPlainText(), lines.join(QChar('\n'))) << name;
        EXPECT_EQ(memo->isReadOnly(), control.readOnly) << name;
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        EXPECT_EQ(edit->isReadOnly(), control.readOnly) << name;
        if (control.maxLength > 0) {
            EXPECT_EQ(edit->maxLength(), control.maxLength) << name;
        }
    }
}

// Every described control but those the window holds as data.
inline void expectWindowMatches(const QWidget& window, const ui::WindowDescription& description,
                                std::initializer_list<std::string_view> heldAsData = {}) {
    EXPECT_EQ(window.windowTitle(), qt(description.caption));
    EXPECT_EQ(window.font().pixelSize(), description.font.pixelHeight);
    EXPECT_EQ(window.font().families().value(0), qt(description.font.face));
    EXPECT_EQ(bool(window.windowFlags() & Qt::WindowMinimizeButtonHint), description.borderIcons.minimise);
    EXPECT_EQ(bool(window.windowFlags() & Qt::WindowMaximizeButtonHint), description.borderIcons.maximise);
    for (const ui::ControlDescription& control : description.controls) {
        const bool held = std::find(heldAsData.begin(), heldAsData.end(), control.name) != heldAsData.end();
        auto* widget = window.findChild<QWidget*>(qt(control.name));
        if (held) {
            EXPECT_EQ(widget, nullptr) << control.name << " is held as data, not as a widget";
            continue;
        }
        ASSERT_NE(widget, nullptr) << control.name;
        expectMatches(*widget, control);
    }
}

}  // namespace described_widgets
