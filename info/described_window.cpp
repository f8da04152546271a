#include "described_window.h"

#include "window_placement.h"
#include "window_style.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>

#include <algorithm>
#include <climits>
#include <vector>

namespace info {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect toRect(const ui::Rect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

// A push button that Enter and Return press as well as Space, as on Windows.
class DescribedButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && !event->isAutoRepeat() && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

// The resource each described picture maps to: the main window's pictures are
// compiled into the main window's library, the dialogs' into this one.
QString pictureResource(ui::PictureId picture, bool hot = false) {
    switch (picture) {
        case ui::PictureId::Contact: return QStringLiteral(":/pictures/contact.jpg");
        case ui::PictureId::Payment: return QStringLiteral(":/pictures/payment.jpg");
        case ui::PictureId::NamingService: return QStringLiteral(":/info/naming.jpg");
        case ui::PictureId::PaymentLogin:
            return hot ? QStringLiteral(":/info/pay-hot.png") : QStringLiteral(":/info/pay-normal.png");
        case ui::PictureId::None: break;
    }
    return {};
}

void applyFontAndColours(QWidget& widget, const ui::ControlDescription& control, QPalette::ColorRole textRole) {
    widget.setFont(windowstyle::toQFont(control.font));
    if (control.textColour) {
        QPalette palette = widget.palette();
        palette.setColor(textRole, windowstyle::toQColor(*control.textColour, palette));
        widget.setPalette(palette);
    }
}

QWidget* buildButton(const ui::ControlDescription& control, QWidget& parent) {
    auto* button = new DescribedButton(fromUtf8(control.caption), &parent);
    button->setAutoDefault(false);
    applyFontAndColours(*button, control, QPalette::ButtonText);
    if (control.handCursor) button->setCursor(Qt::PointingHandCursor);
    if (control.background || control.frameColour) windowstyle::makeFlatButton(*button, control);
    if (control.picture != ui::PictureId::None) {
        QIcon icon;
        icon.addPixmap(QPixmap(pictureResource(control.picture)), QIcon::Normal);
        icon.addPixmap(QPixmap(pictureResource(control.picture, true)), QIcon::Active);
        button->setIcon(icon);
    }
    return button;
}

QWidget* buildLabel(const ui::ControlDescription& control, QWidget& parent) {
    auto* label = new QLabel(fromUtf8(control.caption), &parent);
    applyFontAndColours(*label, control, QPalette::WindowText);
    if (control.wordWrap) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    return label;
}

QWidget* buildMemo(const ui::ControlDescription& control, QWidget& parent) {
    auto* memo = new QPlainTextEdit(&parent);
    applyFontAndColours(*memo, control, QPalette::Text);
    memo->setReadOnly(control.readOnly);
    if (!control.scrollBars) {
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    QStringList lines;
    for (const std::string& line : control.lines) lines << fromUtf8(line);
    memo->setPlainText(lines.join(QChar('\n')));
    memo->moveCursor(QTextCursor::Start);
    if (control.background) windowstyle::useTextBackground(*memo, *control.background);
    return memo;
}

QWidget* buildPicture(const ui::ControlDescription& control, QWidget& parent) {
    auto* picture = new QLabel(&parent);
    applyFontAndColours(*picture, control, QPalette::WindowText);
    picture->setPixmap(QPixmap(pictureResource(control.picture)));
    return picture;
}

QWidget* buildPanel(const ui::ControlDescription& control, QWidget& parent) {
    auto* panel = new QFrame(&parent);
    applyFontAndColours(*panel, control, QPalette::WindowText);
    return panel;
}

QWidget* buildTabControl(const ui::ControlDescription& control, QWidget& parent) {
    auto* pages = new QTabWidget(&parent);
    applyFontAndColours(*pages, control, QPalette::WindowText);
    if (control.tabStripHidden) {
        // Neither the tabs nor the pane's frame line show: the page fills the control.
        pages->tabBar()->hide();
        pages->setDocumentMode(true);
        pages->setStyleSheet(QStringLiteral("QTabWidget::pane { border: 0; margin: 0; padding: 0; }"));
    }
    return pages;
}

// A tab page is the page of its tab control; the described area of the page
// (below the tab strip) is a child of it, so that the page's controls keep
// their described places whether or not the strip shows.
QWidget* buildTabPage(const ui::ControlDescription& control, QWidget& parent) {
    auto* pages = qobject_cast<QTabWidget*>(&parent);
    if (!pages) throw std::logic_error("tab page " + control.name + " outside a tab control");
    auto* holder = new QWidget;
    pages->addTab(holder, fromUtf8(control.caption));
    auto* page = new QWidget(holder);
    applyFontAndColours(*page, control, QPalette::WindowText);
    if (control.background) {
        for (QWidget* area : {holder, page}) windowstyle::useBackground(*area, *control.background);
    }
    return page;
}

QWidget* buildEdit(const ui::ControlDescription& control, QWidget& parent) {
    auto* edit = new QLineEdit(fromUtf8(control.caption), &parent);
    applyFontAndColours(*edit, control, QPalette::Text);
    edit->setReadOnly(control.readOnly);
    if (control.maxLength > 0) edit->setMaxLength(control.maxLength);
    return edit;
}

QWidget* buildGroupBox(const ui::ControlDescription& control, QWidget& parent) {
    auto* box = new QGroupBox(fromUtf8(control.caption), &parent);
    applyFontAndColours(*box, control, QPalette::WindowText);
    windowstyle::useCaptionOnFrameLine(*box);
    return box;
}

QWidget* buildComboBox(const ui::ControlDescription& control, QWidget& parent) {
    auto* box = new QComboBox(&parent);
    applyFontAndColours(*box, control, QPalette::Text);
    return box;
}

bool takesFocus(ui::ControlKind kind) {
    switch (kind) {
        case ui::ControlKind::Button:
        case ui::ControlKind::MultiLineText:
        case ui::ControlKind::Edit:
        case ui::ControlKind::ComboBox: return true;
        default: return false;
    }
}

}  // namespace

// Keeps a window of described outer size at that size, frame included, and
// centres it: on the first show, and again whenever the window manager's
// frame changes (it is known only after the window is first framed, and may
// be reported again after minimise and restore).
class OuterSizeKeeper : public QObject {
public:
    OuterSizeKeeper(QWidget& window, ui::SizeKind kind, QSize size)
        : QObject(&window), window_(window), kind_(kind), size_(size) {}

    void fit() {
        if (window_.isMinimized() || !window_.isVisible()) return;
        const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
        if (placed_ && frame == lastFrame_) return;
        lastFrame_ = frame;
        placed_ = true;
        if (kind_ == ui::SizeKind::Outer) {
            const QSize client = size_ - frame;
            if (client != window_.size()) window_.setFixedSize(client);
        }
        centreOnScreen(window_);
    }

protected:
    // The window manager's frame shows in none of the window's own events:
    // it is noticed at the next layout or repaint request, or activation,
    // all of which follow the window's framing.
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowStateChange:
            case QEvent::LayoutRequest:
            case QEvent::UpdateRequest:
            case QEvent::WindowActivate:
            case QEvent::ActivationChange: fit(); break;
            default: break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& window_;
    ui::SizeKind kind_;
    QSize size_;
    QSize lastFrame_;
    bool placed_ = false;
};

Qt::WindowFlags windowFlags(const ui::WindowDescription& description, Qt::WindowType type) {
    Qt::WindowFlags flags = type | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    const ui::BorderIcons& icons = description.borderIcons;
    if (icons.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (icons.minimise) flags |= Qt::WindowMinimizeButtonHint;
    if (icons.maximise) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

DescribedWindow::DescribedWindow(QWidget& window, const ui::WindowDescription& description,
                                 std::initializer_list<std::string_view> heldAsData)
    : window_(window), description_(description) {
    window.setObjectName(fromUtf8(description.name));
    window.setWindowTitle(fromUtf8(description.caption));
    window.setFont(windowstyle::toQFont(description.font));
    windowstyle::useBackground(window, description.background);
    window.setFixedSize(description.size.width, description.size.height);

    for (const ui::ControlDescription& control : description.controls) {
        if (std::find(heldAsData.begin(), heldAsData.end(), control.name) != heldAsData.end()) continue;
        QWidget* parent = control.parent.empty() ? &window : find(control.parent);
        if (!parent) throw std::logic_error(control.name + " comes before its parent " + control.parent);
        QWidget* widget = build(control, *parent);
        widget->setObjectName(fromUtf8(control.name));
        widget->setGeometry(toRect(control.rect));
        if (control.autoSize) widget->adjustSize();
        if (control.border == ui::Border::FlatRounded) {
            if (auto* frame = qobject_cast<QFrame*>(widget)) windowstyle::useRoundedPanel(*frame, control);
        }
        if (!control.visible) widget->hide();
        widgets_.emplace(control.name, widget);
    }
    setUpTabOrder();

    keeper_ = new OuterSizeKeeper(window, description.sizeKind, QSize(description.size.width, description.size.height));
    window.installEventFilter(keeper_);
}

QWidget* DescribedWindow::build(const ui::ControlDescription& control, QWidget& parent) {
    switch (control.kind) {
        case ui::ControlKind::Button: return buildButton(control, parent);
        case ui::ControlKind::Label: return buildLabel(control, parent);
        case ui::ControlKind::MultiLineText: return buildMemo(control, parent);
        case ui::ControlKind::Picture: return buildPicture(control, parent);
        case ui::ControlKind::GroupBox: return buildGroupBox(control, parent);
        case ui::ControlKind::Panel: return buildPanel(control, parent);
        case ui::ControlKind::TabControl: return buildTabControl(control, parent);
        case ui::ControlKind::TabPage: return buildTabPage(control, parent);
        case ui::ControlKind::Edit: return buildEdit(control, parent);
        case ui::ControlKind::ComboBox: return buildComboBox(control, parent);
    }
    throw std::logic_error("control " + control.name + " of unknown kind");
}

QWidget* DescribedWindow::find(std::string_view name) const {
    const auto found = widgets_.find(name);
    return found == widgets_.end() ? nullptr : found->second;
}

void DescribedWindow::forEachButton(
    const std::function<void(QPushButton&, const ui::ControlDescription&)>& connect) const {
    for (const ui::ControlDescription& control : description_.controls) {
        if (control.kind != ui::ControlKind::Button) continue;
        if (auto* button = qobject_cast<QPushButton*>(find(control.name))) connect(*button, control);
    }
}

// Tab orders count within each parent: a parent's controls in their order,
// each container followed by its own controls.
void DescribedWindow::setUpTabOrder() {
    std::vector<QWidget*> chain;
    std::function<void(const std::string&)> visit = [&](const std::string& parent) {
        std::vector<const ui::ControlDescription*> children;
        for (const ui::ControlDescription& control : description_.controls)
            if (control.parent == parent) children.push_back(&control);
        std::stable_sort(children.begin(), children.end(), [](const auto* a, const auto* b) {
            const int left = a->tabOrder < 0 ? INT_MAX : a->tabOrder;
            const int right = b->tabOrder < 0 ? INT_MAX : b->tabOrder;
            return left < right;
        });
        for (const ui::ControlDescription* child : children) {
            QWidget* widget = find(child->name);
            if (!widget) continue;
            if (child->tabOrder >= 0 && takesFocus(child->kind)) chain.push_back(widget);
            visit(child->name);
        }
    };
    visit({});
    for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void DescribedWindow::fitOuterSize() {
    keeper_->fit();
}

}  // namespace info
