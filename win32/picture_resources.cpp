#include "picture_resources.h"

namespace win32ui {

PictureResources pictureResources(ui::PictureId picture) {
    switch (picture) {
        case ui::PictureId::Contact: return {L"CONTACT", nullptr, 0};
        case ui::PictureId::Payment: return {L"PAYMENT", nullptr, 0};
        case ui::PictureId::NamingService: return {L"NAMING", nullptr, 0};
        case ui::PictureId::PaymentLogin: return {L"PAY_NORMAL", L"PAY_HOT", 20};
        case ui::PictureId::None: break;
    }
    return {};
}

}  // namespace win32ui
