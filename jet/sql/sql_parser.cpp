#include "jet/sql/sql_parser.h"

#include <cctype>
#include <charconv>

namespace jet {

namespace {

enum class TokenKind { Word, Name, Text, Number, Parameter, Symbol, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;   // word as written, bracketed name without brackets, text literal unescaped, symbol
    std::size_t position = 0;
};

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (static_cast<unsigned char>(c) >= 0x80);
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string describe(const Token& token) {
    switch (token.kind) {
    case TokenKind::End: return "the end of the statement";
    case TokenKind::Text: return "'" + token.text + "'";
    case TokenKind::Name: return "[" + token.text + "]";
    case TokenKind::Parameter: return "?";
    default: return "'" + token.text + "'";
    }
}

std::vector<Token> tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        Token token;
        token.position = i;
        if (c == '\'') {
            token.kind = TokenKind::Text;
            std::size_t j = i + 1;
            for (;;) {
                if (j >= sql.size()) throw SqlSyntaxError("syntax error at position " + std::to_string(i) + ": text literal has no closing quote", i);
                if (sql[j] == '\'') {
                    if (j + 1 < sql.size() && sql[j + 1] == '\'') {
                        token.text += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                token.text += sql[j++];
            }
            i = j + 1;
        } else if (c == '[') {
            const std::size_t close = sql.find(']', i + 1);
            if (close == std::string_view::npos) throw SqlSyntaxError("syntax error at position " + std::to_string(i) + ": name has no closing ']'", i);
            token.kind = TokenKind::Name;
            token.text = std::string(sql.substr(i + 1, close - i - 1));
            if (token.text.empty()) throw SqlSyntaxError("syntax error at position " + std::to_string(i) + ": empty name []", i);
            i = close + 1;
        } else if (c == '?') {
            token.kind = TokenKind::Parameter;
            token.text = "?";
            ++i;
        } else if (std::isdigit(static_cast<unsigned char>(c)) || (c == '-' && i + 1 < sql.size() && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            std::size_t j = i + 1;
            while (j < sql.size() && std::isdigit(static_cast<unsigned char>(sql[j]))) ++j;
            token.kind = TokenKind::Number;
            token.text = std::string(sql.substr(i, j - i));
            i = j;
        } else if (isWordChar(c)) {
            std::size_t j = i;
            while (j < sql.size() && isWordChar(sql[j])) ++j;
            token.kind = TokenKind::Word;
            token.text = std::string(sql.substr(i, j - i));
            i = j;
        } else if (c == ',' || c == '(' || c == ')' || c == '=' || c == ';' || c == '*') {
            token.kind = TokenKind::Symbol;
            token.text = std::string(1, c);
            ++i;
        } else {
            throw SqlSyntaxError("syntax error at position " + std::to_string(i) + ": unexpected character '" + c + "'", i);
        }
        tokens.push_back(std::move(token));
    }
    Token end;
    end.position = sql.size();
    tokens.push_back(end);
    return tokens;
}

class Parser {
public:
    explicit Parser(std::string_view sql) : tokens_(tokenize(sql)) {}

    ParsedStatement parse() {
        ParsedStatement parsed;
        const Token& first = peek();
        if (isKeyword(first, "UPDATE")) parsed.statement = parseUpdate();
        else if (isKeyword(first, "DELETE")) parsed.statement = parseDelete();
        else if (isKeyword(first, "INSERT")) parsed.statement = parseInsert();
        else fail("expected UPDATE, DELETE or INSERT", first);
        if (isSymbol(peek(), ";")) ++next_;
        if (peek().kind != TokenKind::End) fail("expected the end of the statement (a value with an unescaped quote?)", peek());
        parsed.parameterCount = parameters_;
        return parsed;
    }

private:
    const Token& peek() const { return tokens_[next_]; }
    static bool isKeyword(const Token& token, const char* word) { return token.kind == TokenKind::Word && upper(token.text) == word; }
    static bool isSymbol(const Token& token, const char* symbol) { return token.kind == TokenKind::Symbol && token.text == symbol; }

    [[noreturn]] static void fail(const std::string& expected, const Token& found) {
        throw SqlSyntaxError("syntax error at position " + std::to_string(found.position) + ": " + expected + ", found " + describe(found),
                             found.position);
    }

    void expectKeyword(const char* word) {
        if (!isKeyword(peek(), word)) fail(std::string("expected ") + word, peek());
        ++next_;
    }
    void expectSymbol(const char* symbol) {
        if (!isSymbol(peek(), symbol)) fail(std::string("expected '") + symbol + "'", peek());
        ++next_;
    }

    std::string name(const char* what) {
        const Token& token = peek();
        if (token.kind == TokenKind::Name) {
            ++next_;
            return token.text;
        }
        if (token.kind == TokenKind::Word && !isReserved(token.text)) {
            ++next_;
            return token.text;
        }
        fail(std::string("expected ") + what, token);
    }

    static bool isReserved(const std::string& word) {
        static const char* const reserved[] = {"UPDATE", "SET", "WHERE", "AND", "DELETE", "FROM", "INSERT", "INTO", "VALUES", "NULL", "OR", "NOT", "SELECT"};
        const std::string up = upper(word);
        for (const char* r : reserved)
            if (up == r) return true;
        return false;
    }

    SqlOperand operand() {
        const Token& token = peek();
        switch (token.kind) {
        case TokenKind::Text: ++next_; return SqlLiteral{Value(token.text)};
        case TokenKind::Parameter: ++next_; return SqlParameter{parameters_++};
        case TokenKind::Number: {
            std::int64_t number = 0;
            const auto [end, ec] = std::from_chars(token.text.data(), token.text.data() + token.text.size(), number);
            if (ec != std::errc() || end != token.text.data() + token.text.size()) fail("a number that fits 64 bits", token);
            ++next_;
            return SqlLiteral{Value(number)};
        }
        default:
            if (isKeyword(token, "NULL")) {
                ++next_;
                return SqlLiteral{Value()};
            }
            fail("a value ('text', a number, NULL or ?)", token);
        }
    }

    std::vector<SqlCondition> where() {
        std::vector<SqlCondition> conditions;
        if (!isKeyword(peek(), "WHERE")) return conditions;
        ++next_;
        do {
            SqlCondition condition;
            condition.column = name("a column name");
            expectSymbol("=");
            condition.value = operand();
            conditions.push_back(std::move(condition));
        } while (isKeyword(peek(), "AND") && ++next_);
        return conditions;
    }

    UpdateStatement parseUpdate() {
        ++next_;
        UpdateStatement statement;
        statement.table = name("a table name");
        expectKeyword("SET");
        do {
            SqlAssignment assignment;
            assignment.column = name("a column name");
            expectSymbol("=");
            assignment.value = operand();
            statement.assignments.push_back(std::move(assignment));
        } while (isSymbol(peek(), ",") && ++next_);
        statement.where = where();
        return statement;
    }

    DeleteStatement parseDelete() {
        ++next_;
        if (isSymbol(peek(), "*")) ++next_;
        expectKeyword("FROM");
        DeleteStatement statement;
        statement.table = name("a table name");
        statement.where = where();
        return statement;
    }

    InsertStatement parseInsert() {
        ++next_;
        expectKeyword("INTO");
        InsertStatement statement;
        statement.table = name("a table name");
        if (isSymbol(peek(), "(")) {
            ++next_;
            do statement.columns.push_back(name("a column name"));
            while (isSymbol(peek(), ",") && ++next_);
            expectSymbol(")");
        }
        expectKeyword("VALUES");
        expectSymbol("(");
        do statement.values.push_back(operand());
        while (isSymbol(peek(), ",") && ++next_);
        const Token& close = peek();
        expectSymbol(")");
        if (!statement.columns.empty() && statement.columns.size() != statement.values.size())
            throw SqlSyntaxError("syntax error at position " + std::to_string(close.position) + ": " + std::to_string(statement.columns.size()) +
                                     " columns named but " + std::to_string(statement.values.size()) + " values given",
                                 close.position);
        return statement;
    }

    std::vector<Token> tokens_;
    std::size_t next_ = 0;
    std::size_t parameters_ = 0;
};

}  // namespace

ParsedStatement parseSql(std::string_view sql) { return Parser(sql).parse(); }

std::vector<std::string> splitSqlScript(std::string_view script) {
    std::vector<std::string> statements;
    std::string current;
    bool inText = false, inName = false;
    auto flush = [&] {
        const auto first = current.find_first_not_of(" \t\r\n");
        if (first != std::string::npos) statements.push_back(current.substr(first));
        current.clear();
    };
    for (char c : script) {
        if (c == '\'' && !inName) inText = !inText;
        else if (c == '[' && !inText) inName = true;
        else if (c == ']' && !inText) inName = false;
        if (c == ';' && !inText && !inName) {
            flush();
            continue;
        }
        current += c;
    }
    flush();
    return statements;
}

}  // namespace jet
