#pragma once
// A modal progress dialog for the upgrade actions. It appears only when an
// action runs longer than half a second, and names the product being upgraded.

#include "upgrade/window_actions.h"

#include <QProgressDialog>

#include <memory>
#include <string_view>

class QWidget;

class UpgradeProgress : public upgrade::ProgressDisplay {
public:
    UpgradeProgress(QWidget* owner, const QString& title);
    ~UpgradeProgress() override;

    void step(std::size_t row, std::size_t rows, std::string_view directory) override;
    void finish() override;

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

