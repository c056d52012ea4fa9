#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include "content_key.h"

namespace vellisa::content::testing_support {

// A fresh directory, removed again with the object.
class TempDir {
public:
    TempDir()
    {
        std::string pattern =
            (std::filesystem::path(::testing::TempDir()) / "vellisa-content-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void write(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string read(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Db = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

// Opens read-only; `key` is run first unless empty.
inline Db open_db(const std::filesystem::path& file, const std::string& key = key_statements())
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    Db handle(db, &sqlite3_close);
    if (!key.empty())
        sqlite3_exec(db, key.c_str(), nullptr, nullptr, nullptr);
    return handle;
}

// Runs `sql` and returns its rows, each column as text; records the SQLite result code in `rc`.
inline std::vector<std::vector<std::string>> query(sqlite3* db, const std::string& sql, int* rc = nullptr)
{
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* stmt = nullptr;
    int code = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
    while (code == SQLITE_OK || code == SQLITE_ROW) {
        code = sqlite3_step(stmt);
        if (code != SQLITE_ROW)
            break;
        auto& row = rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            row.emplace_back(text ? text : "");
        }
    }
    sqlite3_finalize(stmt);
    if (rc)
        *rc = code == SQLITE_DONE ? SQLITE_OK : code;
    else
        EXPECT_EQ(code, SQLITE_DONE) << sql << ": " << sqlite3_errmsg(db);
    return rows;
}

} // namespace vellisa::content::testing_support
