#pragma once
// Builds a window and its controls as Qt widgets from its toolkit-free
// description (ui/window_description.h): caption, font, colours, size, and
// every control with its place, caption, font, colours, visibility and tab
// order. The windows keep none of these values themselves; they look their
// controls up here by design name and connect the buttons' actions.

#include "ui/window_description.h"

#include <QWidget>

#include <functional>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

class QPushButton;

namespace info {

class OuterSizeKeeper;

// The window flags of a description's border icons, for a top-level window
// (`Qt::Window`) or a dialog (`Qt::Dialog`).
Qt::WindowFlags windowFlags(const ui::WindowDescription& description, Qt::WindowType type);

class DescribedWindow {
public:
    // Styles `window` and creates the controls of `description` on it, except
    // those the window holds as data rather than as widgets (`heldAsData`).
    // `description` must outlive this object.
    DescribedWindow(QWidget& window, const ui::WindowDescription& description,
                    std::initializer_list<std::string_view> heldAsData = {});

    const ui::WindowDescription& description() const { return description_; }

    // The widget of that design name; std::out_of_range when none was built
    // or it is not a `Widget`.
    template <class Widget>
    Widget* get(std::string_view name) const {
        auto* widget = qobject_cast<Widget*>(find(name));
        if (!widget) throw std::out_of_range("no such widget: " + std::string(name));
        return widget;
    }

    // Calls `connect` for every button built, with its description.
    void forEachButton(const std::function<void(QPushButton&, const ui::ControlDescription&)>& connect) const;

    // Fits the window to its described size (the outer size frame included,
    // or the client size) and centres it. This runs by itself when the window
    // is first shown and whenever the window manager's frame changes.
    void fitOuterSize();

private:
    QWidget* find(std::string_view name) const;
    QWidget* build(const ui::ControlDescription& control, QWidget& parent);
    void setUpTabOrder();

    QWidget& window_;
    const ui::WindowDescription& description_;
    std::map<std::string, QWidget*, std::less<>> widgets_;
    OuterSizeKeeper* keeper_ = nullptr;  // owned by the window
};

}  // namespace info
