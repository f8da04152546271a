// TFrm_servers: the price list of the vendor's manual name-giving services.
// It has no actions of its own; the user closes it from its title bar.

#include "control_factory.h"
#include "window_description.h"

#include <span>

namespace ui {
namespace {

constexpr int kClientWidth = 420;
constexpr int kClientHeight = 273;
constexpr int kLabelLeft = 70;

struct PriceLine {
    const char* text;
    int top;
    bool heading;
};

constexpr PriceLine kPriceLines[] = {
    {"起名说明:", 14, true},
    {"经济套餐：200元", 64, true},
    {"起10个名字待选择。", 83, false},
    {"标准套餐：300元", 116, true},
    {"起15个名字待选择，3个详细名字分析。", 135, false},
    {"豪华套餐：500元", 168, true},
    {"起20个名字待选择，5个详细名字分析。", 187, false},
    {"贵族套餐：888元", 225, true},
    {"起25个名字待选择，10个详细名字分析，终身命运分析。", 244, false},
};

struct PicturePlace {
    int left;
    int top;
};

constexpr PicturePlace kPictures[] = {{24, 12}, {24, 64}, {24, 116}, {24, 169}, {23, 220}};

WindowDescription describeNamingDialog() {
    WindowDescription window;
    window.name = "Frm_servers";
    window.className = "TFrm_servers";
    window.caption = "人工起名服务";
    window.size = {kClientWidth, kClientHeight};
    window.sizeKind = SizeKind::Client;
    window.borderIcons = {.systemMenu = true, .minimise = false, .maximise = false};
    window.centred = true;
    window.font = windowFont();
    window.background = Colour::named(SystemColour::ButtonHighlight);

    auto& c = window.controls;
    ControlDescription panel;
    panel.name = "Panel1";
    panel.kind = ControlKind::Panel;
    panel.rect = {0, 0, kClientWidth, kClientHeight};
    panel.font = windowFont();
    panel.background = Colour::named(SystemColour::Window);
    panel.border = Border::FlatRounded;
    c.push_back(panel);

    int pictureNumber = 1;
    for (const PicturePlace& at : kPictures)
        c.push_back(factory::picture("Image" + std::to_string(pictureNumber++), "Panel1", {at.left, at.top, 41, 41},
                                     PictureId::NamingService));

    int labelNumber = 1;
    auto addLabel = [&](const char* text, int top) -> ControlDescription& {
        c.push_back(factory::autoSizeLabel("Label" + std::to_string(labelNumber++), "Panel1", text, kLabelLeft, top));
        return c.back();
    };
    factory::makeNavyHeading(addLabel(kPriceLines[0].text, kPriceLines[0].top));

    ControlDescription& explanation =
        addLabel("人工起名根据八字五行三才五格进行分析，起名时间一般为1天到5天，每个姓氏起名难易度不一样。", 31);
    explanation.autoSize = false;
    explanation.wordWrap = true;
    explanation.rect.width = 318;
    explanation.rect.height = 24;
    explanation.textColour = kBlack;

    for (const PriceLine& line : std::span(kPriceLines).subspan(1)) {
        ControlDescription& label = addLabel(line.text, line.top);
        if (line.heading) factory::makeNavyHeading(label);
    }
    return window;
}

}  // namespace

const WindowDescription& namingDialog() {
    static const WindowDescription window = describeNamingDialog();
    return window;
}

}  // namespace ui
