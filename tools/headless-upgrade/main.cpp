// fortune-data-patch-headless: runs both upgrade actions of the patch without
// a window, through the same code as the window's buttons, and prints what
// happened in each product directory (the "Program Files (x86)" and
// VirtualStore folders each on a line of their own) and the closing messages. Products are
// looked up as by the window: on Windows on the computer's own drives, elsewhere
// in $WINEPREFIX (or ~/.wine).

#include "upgrade/almanac_upgrade.h"
#include "upgrade/fortune_upgrade.h"
#include "upgrade/jet_product_database.h"

#include <iostream>
#include <string_view>

namespace {

class ConsoleFeedback : public upgrade::UserFeedback {
public:
    void show(const upgrade::UserMessage& message) override {
        const char* icon = message.icon == upgrade::MessageIcon::Information ? "" : "（!）";
        std::cout << "[" << message.caption << "]" << icon << " " << message.text << "\n";
    }
};

int usage() {
    std::cerr << "usage: fortune-data-patch-headless\n"
                 "Runs the almanac upgrade (黄道数据升级) and then the fortune upgrade (算命软件升级)\n"
                 "on every product installed in $WINEPREFIX (or ~/.wine), and prints the outcome.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) return usage();
    (void)argv;
    const upgrade::Installation installation;
    std::cout << "Products are looked up in: " << installation.description() << "\n";
    if (const auto appData = installation.localAppData())
        std::cout << "Their per-user copies (VirtualStore) in: " << *appData << "\\VirtualStore\n";

    upgrade::JetDatabaseOpener opener;
    upgrade::ProductQuery query(opener, installation);
    ConsoleFeedback feedback;

    std::cout << "\n== 黄道数据升级 ==\n";
    text::LineList succeeded, failed;
    const upgrade::AlmanacUpgradeResult almanac =
        upgrade::runAlmanacUpgrade(upgrade::almanacList(), query, {succeeded, failed}, feedback,
                                   [](std::size_t row, std::size_t, std::string_view directory) {
                                       std::cout << "  row " << row << ": " << directory << "\n";
                                   });
    for (const std::string& directory : succeeded.lines()) std::cout << "  upgraded: " << directory << "\n";
    for (const upgrade::DirectoryFailure& failure : almanac.failures)
        std::cout << "  failed:   " << failure.directory << " (" << failure.cause << ")\n";

    std::cout << "\n== 算命软件升级 ==\n";
    const upgrade::FortuneUpgradeResult fortunes = upgrade::runFortuneUpgrade(
        upgrade::fortuneList(), query, feedback,
        [](std::size_t row, std::size_t, std::string_view directory, upgrade::FortuneBlock block) {
            std::cout << "  row " << row << ": " << directory
                      << (block == upgrade::FortuneBlock::ZodiacFortunes ? "  Tgcode.dll: 生肖运势 Bennian2011"
                                                                         : "  QorFile.dll: 星座运势 xingzuo2007")
                      << "\n";
        });
    return almanac.failures.empty() && !fortunes.failure ? 0 : 1;
}
