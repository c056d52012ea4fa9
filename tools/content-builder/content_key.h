#pragma once
// How a connection to data/*.dat is keyed. The builder that writes the files and the data
// provider that reads them both include this header, so the two can never drift apart: a
// connection keyed any other way sees only noise ("file is not a database").
#include <string>
#include <string_view>

namespace vellisa::content {

// The database password of the program's connection strings, as UTF-8 bytes.
inline constexpr std::string_view kPassword = "青石kqz@583016";

// PBKDF2 rounds for deriving the page key from the password. The password ships inside the
// program, so key stretching protects nothing, while SQLCipher's default of 64000 rounds would
// cost tens of milliseconds per file at every start. 64 rounds keep opening all four files far
// below 10 ms.
inline constexpr int kKdfIter = 64;

// The statements to run on a fresh connection, before anything reads the file.
inline std::string key_statements()
{
    std::string sql = "PRAGMA key = '";
    for (char c : kPassword) {
        if (c == '\'')
            sql += '\'';
        sql += c;
    }
    sql += "'; PRAGMA kdf_iter = " + std::to_string(kKdfIter) + ";";
    return sql;
}

} // namespace vellisa::content
