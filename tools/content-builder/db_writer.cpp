#include "db_writer.h"

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include <sqlcipher/sqlite3.h>
#include <unistd.h>

#include "content_key.h"

namespace vellisa::content {

namespace {

using Db = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
using Stmt = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

std::string quote_identifier(std::string_view name)
{
    std::string q = "\"";
    for (char c : name) {
        if (c == '"')
            q += '"';
        q += c;
    }
    return q + "\"";
}

[[noreturn]] void fail(const std::filesystem::path& file, sqlite3* db, const std::string& doing)
{
    throw std::runtime_error(file.string() + ": " + doing + ": " + sqlite3_errmsg(db));
}

void exec(const std::filesystem::path& file, sqlite3* db, const std::string& sql, const char* doing)
{
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(file, db, doing);
}

} // namespace

void write_database(const std::filesystem::path& file, std::span<const TableData> tables)
{
    std::error_code ignored;
    std::filesystem::remove(file, ignored);

    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Db db(raw, &sqlite3_close);
    if (rc != SQLITE_OK)
        fail(file, raw, "cannot create");

    exec(file, raw, key_statements(), "cannot key");
    // No journal file beside the output: a failed build discards the whole file anyway.
    exec(file, raw, "PRAGMA journal_mode = OFF", "cannot set up");
    exec(file, raw, "BEGIN", "cannot write");
    for (const TableData& t : tables) {
        std::string create = "CREATE TABLE " + quote_identifier(t.spec->table) + " (id INTEGER PRIMARY KEY";
        std::string insert = "INSERT INTO " + quote_identifier(t.spec->table) + " VALUES (?";
        for (auto f : t.spec->fields) {
            create += ", " + quote_identifier(f) + " TEXT";
            insert += ", ?";
        }
        exec(file, raw, create + ")", "cannot create table");

        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(raw, (insert + ")").c_str(), -1, &s, nullptr) != SQLITE_OK)
            fail(file, raw, "cannot prepare insert");
        Stmt stmt(s, &sqlite3_finalize);
        for (const Record& r : t.records) {
            sqlite3_bind_int64(s, 1, r.id);
            for (std::size_t i = 0; i < r.values.size(); ++i)
                sqlite3_bind_text(s, static_cast<int>(i) + 2, r.values[i].data(),
                                  static_cast<int>(r.values[i].size()), SQLITE_STATIC);
            if (sqlite3_step(s) != SQLITE_DONE)
                fail(file, raw,
                     "cannot insert record " + std::to_string(r.id) + " into " + std::string(t.spec->table));
            sqlite3_reset(s);
        }
    }
    exec(file, raw, "COMMIT", "cannot write");
    if (sqlite3_close(db.release()) != SQLITE_OK)
        throw std::runtime_error(file.string() + ": cannot close the database");
}

void write_file(const std::filesystem::path& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error(file.string() + ": cannot write");
}

StagedOutputs::~StagedOutputs()
{
    std::error_code ignored;
    for (const auto& [temp, target] : staged_)
        std::filesystem::remove(temp, ignored);
}

std::filesystem::path StagedOutputs::stage(const std::filesystem::path& target)
{
    std::filesystem::path temp = target;
    temp += ".tmp" + std::to_string(::getpid());
    staged_.emplace_back(temp, target);
    return temp;
}

void StagedOutputs::commit()
{
    for (const auto& [temp, target] : staged_)
        std::filesystem::rename(temp, target); // throws filesystem_error naming both paths
    staged_.clear();
}

} // namespace vellisa::content
