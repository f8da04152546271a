#pragma once
// A modal progress dialog for the upgrade actions. It appears only when an
// action runs longer than half a second, and names the product being upgraded.

#include <QProgressDialog>

#include <memory>
#include <string_view>

class QWidget;

class UpgradeProgress {
public:
    UpgradeProgress(QWidget* owner, const QString& title);
    ~UpgradeProgress();

    // Before each directory: the catalogue row, the number of rows and the directory.
    void step(std::size_t row, std::size_t rows, std::string_view directory);

private:
    std::unique_ptr<QProgressDialog> dialog_;
};
