#include "product_query.h"

#include "text/utf8_path.h"

namespace upgrade {

namespace {

std::string withoutLeadingBackslash(std::string_view fileName) {
    while (!fileName.empty() && (fileName.front() == '\\' || fileName.front() == '/')) fileName.remove_prefix(1);
    return std::string(fileName);
}

// Replaces every occurrence of `from` in `text` by `to`.
void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

}  // namespace

DatabaseError::DatabaseError(std::string directory, std::string fileName, std::string cause, FailureKind kind)
    : std::runtime_error(directory + "\\" + fileName + ": " + cause),
      directory_(std::move(directory)),
      fileName_(std::move(fileName)),
      cause_(std::move(cause)),
      kind_(kind) {}

DatabaseError::DatabaseError(std::string directory, std::string fileName, const ProductDatabaseFailure& failure)
    : DatabaseError(std::move(directory), std::move(fileName), userCause(failure), failure.kind()) {}

ProductQuery::ProductQuery(ProductDatabaseOpener& opener, Installation installation)
    : opener_(opener), installation_(std::move(installation)) {}

void ProductQuery::pointAt(std::string_view directory, std::string_view fileName) {
    std::string name = withoutLeadingBackslash(fileName);
    std::string path = std::string(directory) + "\\" + name;
    if (path == filePath_) return;
    database_.reset();
    localFile_.clear();
    filePath_ = std::move(path);
    directory_ = std::string(directory);
    fileName_ = std::move(name);
}

std::string ProductQuery::connectionString() const {
    if (filePath_.empty()) return {};
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + filePath_ + ";Persist Security Info=False";
}

ProductDatabase& ProductQuery::database() {
    if (database_) return *database_;
    const auto file = installation_.locate(directory_, "\\" + fileName_);
    if (!file)
        throw DatabaseError(directory_, fileName_,
                            ProductDatabaseFailure(FailureKind::FileMissing, "the database file does not exist"));
    localFile_ = *file;
    database_ = opener_.open(*file);
    return *database_;
}

void ProductQuery::fail(const std::exception& cause) const {
    if (const auto* already = dynamic_cast<const DatabaseError*>(&cause)) throw *already;
    throw DatabaseError(directory_, fileName_, withCataloguePaths(asProductFailure(cause)));
}

ProductDatabaseFailure ProductQuery::withCataloguePaths(const ProductDatabaseFailure& failure) const {
    if (localFile_.empty()) return failure;
    std::string detail = failure.detail();
    const std::string folder = text::utf8FromPath(localFile_.parent_path());
    const std::string separator = text::utf8FromPath(std::filesystem::path("/").make_preferred());
    // The file itself first, then anything else in its folder (the lock
    // files), then the folder alone.
    replaceAll(detail, text::utf8FromPath(localFile_), filePath_);
    replaceAll(detail, folder + separator, directory_ + "\\");
    replaceAll(detail, folder, directory_);
    return ProductDatabaseFailure(failure.kind(), std::move(detail), failure.table(), failure.column());
}

template <typename Action>
auto ProductQuery::guarded(Action&& action) {
    if (filePath_.empty()) throw std::logic_error("the query object was not pointed at a database file");
    try {
        return action(database());
    } catch (const std::exception& e) {
        fail(e);
    }
}

std::size_t ProductQuery::execute(std::string_view sql, const SqlParameters& parameters) {
    return guarded([&](ProductDatabase& db) { return db.execute(sql, parameters); });
}

std::size_t ProductQuery::executeEach(std::string_view sql, const std::vector<SqlParameters>& parameterSets) {
    return guarded([&](ProductDatabase& db) {
        const std::unique_ptr<ProductStatement> statement = db.prepare(sql);
        std::size_t changed = 0;
        for (const SqlParameters& parameters : parameterSets) changed += statement->execute(parameters);
        return changed;
    });
}

void ProductQuery::beginWork() {
    guarded([](ProductDatabase& db) { db.beginWork(); });
}

void ProductQuery::commitWork() {
    guarded([](ProductDatabase& db) { db.commitWork(); });
}

void ProductQuery::release() noexcept {
    database_.reset();
}

void ProductQuery::rollbackWork() noexcept {
    if (!database_) return;
    try {
        database_->rollbackWork();
    } catch (...) {
        // The unit was never committed; dropping the connection discards it.
        database_.reset();
    }
}

}  // namespace upgrade
