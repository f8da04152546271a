#include "upgrade_progress.h"

UpgradeProgress::UpgradeProgress(QWidget* owner, const QString& title)
    : dialog_(std::make_unique<QProgressDialog>(owner)) {
    dialog_->setWindowTitle(title);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(500);
    dialog_->setCancelButton(nullptr);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumWidth(420);
}

UpgradeProgress::~UpgradeProgress() {
    finish();
}

void UpgradeProgress::finish() {
    dialog_->reset();
    dialog_->close();
}

void UpgradeProgress::step(std::size_t row, std::size_t rows, std::string_view directory) {
    dialog_->setMaximum(static_cast<int>(rows));
    dialog_->setLabelText(QStringLiteral("正在升级：") +
                          QString::fromUtf8(directory.data(), static_cast<qsizetype>(directory.size())));
    // A modal progress dialog processes pending events here, so it paints.
    dialog_->setValue(static_cast<int>(row));
}
