#include "failure_cause.h"

namespace upgrade {
namespace {

constexpr std::string_view kReinstall = "请重新安装该软件后再升级。";
constexpr std::string_view kMismatch = "该软件的版本与本补丁不匹配，";
constexpr std::string_view kAskSupport = "请联系客服。";

std::string orDefault(std::string_view name, std::string_view fallback) {
    return std::string(name.empty() ? fallback : name);
}

// "数据表 huangdao"; the engine names the table with every failure that concerns one.
std::string tableName(std::string_view table) {
    return "数据表 " + orDefault(table, "（未知）");
}

}  // namespace

ProductDatabaseFailure::ProductDatabaseFailure(FailureKind kind, std::string detail, std::string table, std::string column)
    : std::runtime_error(detail), kind_(kind), detail_(std::move(detail)), table_(std::move(table)), column_(std::move(column)) {}

std::string causeSentence(FailureKind kind, std::string_view table, std::string_view column) {
    switch (kind) {
    case FailureKind::FileMissing:
        return "找不到数据库文件，" + std::string(kReinstall);
    case FailureKind::InUse:
        return "数据库正被其他程序使用，请先关闭该软件后再升级。";
    case FailureKind::ReadOnly:
        return "文件或所在文件夹是只读的，无法写入。请取消只读属性，或换用有写入权限的账户后再升级。";
    case FailureKind::NotAccess:
        return "这不是 Access 数据库文件，文件可能已损坏或被替换。" + std::string(kReinstall);
    case FailureKind::OldFormat:
        return "数据库是 Access 97 格式，本补丁只能升级 Access 2000–2003 格式的数据库。请安装该软件的新版本后再升级。";
    case FailureKind::NewFormat:
        return "数据库是 Access 2007 或更新版本的格式，本补丁只能升级 Access 2000–2003 格式的数据库。";
    case FailureKind::Encrypted:
        return "数据库已加密，本补丁无法读写。请在 Access 中解密数据库后再升级。";
    case FailureKind::Password:
        return "数据库设有密码，本补丁无法打开。请在 Access 中撤销数据库密码后再升级。";
    case FailureKind::Damaged:
        return "数据库文件已损坏或不完整，" + std::string(kReinstall);
    case FailureKind::Unsupported:
        return "数据库用到了本补丁不支持的功能，无法写入。" + std::string(kAskSupport);
    case FailureKind::TableMissing:
        return "缺少" + tableName(table) + "，" + std::string(kMismatch) + std::string(kReinstall);
    case FailureKind::ColumnMissing:
        return tableName(table) + " 缺少字段 " + orDefault(column, "（未知）") + "，" + std::string(kMismatch) +
               std::string(kReinstall);
    case FailureKind::ValueTooLong:
        return "新内容超出了" + tableName(table) + " 中字段 " + orDefault(column, "（未知）") + " 的长度，" +
               std::string(kMismatch) + std::string(kReinstall);
    case FailureKind::DuplicateKey:
        return tableName(table) + " 的字段 " + orDefault(column, "（未知）") + " 不允许重复，新内容会与之冲突。" +
               std::string(kMismatch) + std::string(kReinstall);
    case FailureKind::RuleBroken:
        return "新内容不符合" + tableName(table) + " 的规则，无法写入。" + std::string(kAskSupport);
    case FailureKind::DiskFull:
        return "磁盘空间不足，无法写入新的数据。请清理磁盘后再升级。";
    case FailureKind::ForeignFile:
        return "文件旁有与本补丁的备份或临时文件同名的链接、管道或文件夹，为安全起见未作改动。请删除技术信息中列出的项目后再升级。";
    case FailureKind::ReadWrite:
        return "读写文件时出错，请检查磁盘后再升级。";
    case FailureKind::Unexpected:
        break;
    }
    return "升级程序遇到意外错误，" + std::string(kAskSupport);
}

std::string userCause(const ProductDatabaseFailure& failure) {
    std::string text = causeSentence(failure.kind(), failure.table(), failure.column());
    if (!failure.detail().empty()) text += "（技术信息：" + failure.detail() + "）";
    return text;
}

ProductDatabaseFailure asProductFailure(const std::exception& failure) {
    if (const auto* known = dynamic_cast<const ProductDatabaseFailure*>(&failure)) return *known;
    return ProductDatabaseFailure(FailureKind::Unexpected, failure.what());
}

}  // namespace upgrade
