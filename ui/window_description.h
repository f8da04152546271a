#pragma once
// The single source of the program's windows: the main window and the two
// information dialogs, described without any GUI toolkit. Every front-end
// (Qt on Linux, Win32 on Windows) builds its windows by walking these
// descriptions and keeps no captions, geometry, fonts or colours of its own.
//
// Geometry is in pixels at 96 DPI, as the window design gives it: a control's
// rectangle is relative to the client area of its parent (the window itself
// when `parent` is empty). Parents come before their children in `controls`.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Colours of the desktop's scheme, which each platform supplies itself.
enum class SystemColour {
    None,  // not a system colour: the explicit RGB value applies
    ButtonFace,
    ButtonText,
    ButtonHighlight,
    Window,
    WindowText,
    GradientActiveCaption,
    Highlight,
};

struct Colour {
    SystemColour system = SystemColour::None;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    static constexpr Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return {SystemColour::None, r, g, b};
    }
    static constexpr Colour named(SystemColour colour) { return {colour, 0, 0, 0}; }
    constexpr bool isSystem() const { return system != SystemColour::None; }
    friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kBlack = Colour::rgb(0, 0, 0);
inline constexpr Colour kWhite = Colour::rgb(255, 255, 255);
inline constexpr Colour kRed = Colour::rgb(255, 0, 0);
inline constexpr Colour kNavy = Colour::rgb(0, 0, 128);

// The Windows character-set number of simplified Chinese (GB2312).
inline constexpr int kGb2312Charset = 134;

struct Font {
    std::string face;
    int pixelHeight = 12;  // character height, without internal leading
    bool bold = false;
    int charset = kGb2312Charset;
    friend bool operator==(const Font&, const Font&) = default;
};

enum class ControlKind {
    Button,
    Label,
    MultiLineText,  // a memo: several lines of text
    Picture,
    GroupBox,
    Panel,
    TabControl,
    TabPage,
    Edit,      // single-line text box
    ComboBox,  // drop-down list
};

// What pressing a button does.
enum class Action {
    None,
    FortuneUpgrade,
    AlmanacUpgrade,
    SecondAlmanacUpgrade,  // the hidden button's run over the second almanac list
    OpenWebPage,           // `url` in the browser
    OpenChat,              // `url` in the messaging client
    ShowNamingDialog,
    ShowPaymentDialog,
    CopyPaymentAccount,  // the text of the hidden edit `RzZhifubao` to the clipboard
    OpenPaymentLogin,    // `url` in the browser
    CloseWindow,
};

// Pictures each front-end maps to a resource of its own.
enum class PictureId {
    None,
    Contact,        // main window, upper right, 147 x 180
    Payment,        // main window, lower right, 147 x 180
    NamingService,  // naming dialog, 41 x 41, shown five times
    PaymentLogin,   // the login button's picture, with a normal and a hot state
};

enum class Border {
    Default,      // the control kind's usual border
    FlatRounded,  // a flat line with rounded corners
};

struct ControlDescription {
    std::string name;    // design name, e.g. "Button1"
    ControlKind kind = ControlKind::Label;
    std::string parent;  // design name of the containing control; empty: the window
    std::string caption;
    Rect rect;
    Font font;
    std::optional<Colour> textColour;  // empty: the kind's usual text colour
    std::optional<Colour> background;  // empty: the kind's usual face
    bool visible = true;
    int tabOrder = -1;  // -1: not in the tab order
    Action action = Action::None;
    std::string url;  // for the link actions
    PictureId picture = PictureId::None;
    std::vector<std::string> lines;  // a memo's text, line by line

    bool autoSize = false;   // a label sized to its text; `rect` holds the size at 宋体 12 px
    bool wordWrap = false;   // a label whose text wraps within `rect`
    bool readOnly = false;
    bool scrollBars = true;  // a memo's scroll bars
    int maxLength = 0;       // an edit's limit in characters; 0: none
    bool handCursor = false;
    bool tabStripHidden = false;            // a tab control whose tabs are never seen
    std::optional<Colour> frameColour;      // a flat button's frame line
    bool hotTrack = false;                  // a flat button lit in the highlight colour under the mouse
    Border border = Border::Default;
};

struct BorderIcons {
    bool systemMenu = true;
    bool minimise = false;
    bool maximise = false;
    friend bool operator==(const BorderIcons&, const BorderIcons&) = default;
};

enum class SizeKind {
    Outer,   // the whole window, frame and title bar included
    Client,  // the client area only; the frame is added around it
};

struct WindowDescription {
    std::string name;       // design name of the form object, e.g. "Form1"
    std::string className;  // e.g. "TForm1"
    std::string caption;
    Size size;
    SizeKind sizeKind = SizeKind::Outer;
    BorderIcons borderIcons;
    bool centred = true;
    Font font;
    Colour background = Colour::named(SystemColour::ButtonFace);
    Colour textColour = Colour::named(SystemColour::WindowText);
    std::vector<ControlDescription> controls;

    // The control of that design name, or nullptr.
    const ControlDescription* find(std::string_view controlName) const;
    // The control of that design name; std::out_of_range when there is none.
    const ControlDescription& control(std::string_view controlName) const;
};

// The text the platform shows for the application (the taskbar button); it
// differs from the main window's caption.
std::string_view applicationTitle();

const WindowDescription& mainWindow();     // TForm1
const WindowDescription& namingDialog();   // TFrm_servers
const WindowDescription& paymentDialog();  // TFrmFukuan

// The window font: 宋体, 12 px, regular, GB2312.
Font windowFont();

// Width and height a single-line label takes in 宋体 at 12 px: 12 pixels per
// Chinese (full-width) character, 6 per ASCII character, 12 high.
Size textExtentAt12Pixels(std::string_view utf8Text);

}  // namespace ui
