// Lists the small changes to the plug-in's sources that some test ought to notice, for
// scripts/mutants. One change a line, tab-separated:
//
//     FILE  LINE  THE WHOLE LINE AS CHANGED  WHAT CHANGED
//
// A change never spans lines, so applying one is replacing one line. The same files give the same
// list in the same order, which is what lets a run be resumed or sampled by number.
//
// What is changed: relational and equality operators (< <=, > >=, == !=), arithmetic (+ -, * /,
// += -=, *= /=), logic (&& ||, a ! taken away), integer constants (0 to 1, 1 to 0, n to n+1),
// true and false, a returned value (to {}), a statement that only calls something (removed).
// What is left alone, because a change there is noise rather than a road the player takes:
// comments, string and character literals, preprocessor lines, code only Windows compiles, and
// whole statements that write the log or assert at compile time.
#include <cctype>
#include <cstddef>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

struct Mutant {
    int line;  // 1-based
    std::string changed;
    std::string what;
};

bool isIdent(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The text with every comment blanked and the inside of every literal filled with '_', same length,
// line breaks kept, so that positions in the code view are positions in the source.
std::string codeView(const std::string& text) {
    std::string code = text;
    const std::size_t n = text.size();
    std::size_t i = 0;
    auto blank = [&](std::size_t from, std::size_t to, char fill) {
        for (std::size_t k = from; k < to && k < n; ++k)
            if (code[k] != '\n') code[k] = fill;
    };
    while (i < n) {
        const char c = text[i];
        if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            const auto end = text.find('\n', i);
            const std::size_t to = end == std::string::npos ? n : end;
            blank(i, to, ' ');
            i = to;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            const auto end = text.find("*/", i + 2);
            const std::size_t to = end == std::string::npos ? n : end + 2;
            blank(i, to, ' ');
            i = to;
        } else if (c == '"' && i > 0 && text[i - 1] == 'R') {
            const auto open = text.find('(', i);
            const std::string close = ")" + text.substr(i + 1, open - i - 1) + "\"";
            const auto end = text.find(close, open);
            const std::size_t to = end == std::string::npos ? n : end + close.size();
            blank(i + 1, to - 1, '_');
            i = to;
        } else if (c == '"' || (c == '\'' && (i == 0 || !isIdent(text[i - 1])))) {
            std::size_t k = i + 1;
            while (k < n && text[k] != c && text[k] != '\n')
                k += text[k] == '\\' ? 2 : 1;
            blank(i + 1, k, '_');
            i = k + 1;
        } else {
            ++i;
        }
    }
    return code;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Which lines a change on them would be noise: preprocessor lines, code compiled only for Windows,
// and statements that only log or assert at compile time (they may run over several lines).
std::vector<bool> skippedLines(const std::vector<std::string>& code) {
    std::vector<bool> skipped(code.size(), false);
    struct Branch {
        bool windows;  // the condition names _WIN32
        bool inactive;
    };
    std::vector<Branch> branches;
    bool continued = false;
    int quietDepth = -1;  // paren depth inside a logging statement, -1 outside one
    for (std::size_t l = 0; l < code.size(); ++l) {
        const std::string_view line = trim(code[l]);
        bool skip = quietDepth >= 0;
        if (continued || startsWith(line, "#")) {
            skip = true;
            const std::string_view directive = trim(line.substr(1));
            const bool names = directive.find("_WIN32") != std::string_view::npos;
            if (continued) {
                // the rest of a directive that goes on over several lines
            } else if (startsWith(directive, "ifndef")) {
                branches.push_back({names, false});
            } else if (startsWith(directive, "if")) {
                branches.push_back({names, names});
            } else if ((startsWith(directive, "else") || startsWith(directive, "elif")) &&
                       !branches.empty()) {
                if (branches.back().windows) branches.back().inactive = !branches.back().inactive;
            } else if (startsWith(directive, "endif") && !branches.empty()) {
                branches.pop_back();
            }
            continued = !line.empty() && line.back() == '\\';
        }
        for (const Branch& branch : branches)
            skip = skip || branch.inactive;

        const std::string& text = code[l];
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (quietDepth < 0) {
                for (std::string_view quiet : {"writeLog(", "static_assert("}) {
                    if (text.compare(i, quiet.size(), quiet) == 0 && (i == 0 || !isIdent(text[i - 1]))) {
                        quietDepth = 0;
                        skip = true;
                    }
                }
            }
            if (quietDepth >= 0 && text[i] == '(') ++quietDepth;
            if (quietDepth >= 0 && text[i] == ')' && --quietDepth == 0) quietDepth = -1;
        }
        skipped[l] = skip;
    }
    return skipped;
}

// The position just past the parenthesis that closes the one at `open`, or npos.
std::size_t closing(std::string_view code, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < code.size(); ++i) {
        if (code[i] == '(') ++depth;
        if (code[i] == ')' && --depth == 0) return i + 1;
    }
    return std::string_view::npos;
}

// Whether this line holds a statement made only of calls, from `from` to its ';' at `to`: after the
// indent, or after the condition of a one-line if.
bool callStatement(std::string_view code, std::size_t& from, std::size_t& to) {
    std::size_t i = code.find_first_not_of(' ');
    if (i == std::string_view::npos) return false;
    if (startsWith(code.substr(i), "if (")) {
        const std::size_t end = closing(code, i + 3);
        if (end == std::string_view::npos || end >= code.size() || code[end] != ' ') return false;
        i = end + 1;
    }
    from = i;
    bool called = false;
    while (i < code.size()) {
        const std::size_t start = i;
        while (i < code.size() && isIdent(code[i]))
            ++i;
        if (i == start || std::isdigit(static_cast<unsigned char>(code[start])) != 0) return false;
        const std::string_view word = code.substr(start, i - start);
        for (std::string_view keyword :
             {"return", "if", "for", "while", "switch", "case", "delete", "throw", "sizeof", "else", "do"})
            if (word == keyword) return false;
        if (i < code.size() && code[i] == '(') {
            i = closing(code, i);
            if (i == std::string_view::npos) return false;
            called = true;
        }
        if (i < code.size() && code[i] == ';') {
            to = i;
            return called && trim(code.substr(i + 1)).empty();
        }
        if (startsWith(code.substr(i), "::") || startsWith(code.substr(i), "->"))
            i += 2;
        else if (i < code.size() && code[i] == '.')
            i += 1;
        else
            return false;
    }
    return false;
}

// Whether the statement on line `l` starts there rather than carrying on the one above.
bool startsStatement(const std::vector<std::string>& code, std::size_t l) {
    for (std::size_t k = l; k-- > 0;) {
        const std::string_view above = trim(code[k]);
        if (above.empty() || startsWith(above, "#")) continue;
        const char last = above.back();
        if (last == ';' || last == '{' || last == '}') return true;
        if (last == ':' && !(above.size() > 1 && above[above.size() - 2] == ':')) return true;
        return above == "else" ||
               (last == ')' && (startsWith(above, "if (") || startsWith(above, "for (") ||
                                startsWith(above, "while (") || startsWith(above, "} else if (")));
    }
    return true;
}

const std::map<std::string_view, std::string_view>& binarySwaps() {
    static const std::map<std::string_view, std::string_view> swaps = {
        {"<", "<="},  {"<=", "<"},  {">", ">="},  {">=", ">"},  {"==", "!="}, {"!=", "=="},
        {"+", "-"},   {"-", "+"},   {"*", "/"},   {"/", "*"},   {"&&", "||"}, {"||", "&&"},
        {"+=", "-="}, {"-=", "+="}, {"*=", "/="}, {"/=", "*="},
    };
    return swaps;
}

void mutateLine(const std::string& source, const std::string& code, int lineNumber, bool callStarts,
                std::vector<Mutant>& out) {
    auto add = [&](std::size_t at, std::size_t length, std::string_view replacement) {
        std::string changed = source;
        changed.replace(at, length, replacement);
        std::string was = source.substr(at, length);
        out.push_back({lineNumber, changed,
                       (was.empty() ? std::string("?") : was) + " -> " +
                           (replacement.empty() ? std::string("(nothing)") : std::string(replacement))});
    };
    const std::size_t n = code.size();
    for (std::size_t i = 0; i < n; ++i) {
        // Binary operators are spaced by the house format; templates, pointers and unary signs are not.
        if (code[i] == ' ') {
            std::size_t j = i + 1;
            while (j < n && std::string_view("<>=!&|+-*/").find(code[j]) != std::string_view::npos)
                ++j;
            if (j > i + 1 && j < n && code[j] == ' ') {
                const auto swap = binarySwaps().find(std::string_view(code).substr(i + 1, j - i - 1));
                if (swap != binarySwaps().end()) add(i + 1, j - i - 1, swap->second);
            }
        }
        if (code[i] == '!' && i + 1 < n && code[i + 1] != '=' &&
            !(i >= 8 && std::string_view(code).substr(i - 8, 8) == "operator"))
            add(i, 1, "");
        const bool wordStart = i == 0 || (!isIdent(code[i - 1]) && code[i - 1] != '.');
        if (wordStart && std::isdigit(static_cast<unsigned char>(code[i])) != 0) {
            std::size_t j = i;
            while (j < n && (isIdent(code[j]) || code[j] == '.' || code[j] == '\''))
                ++j;
            std::string digits;
            std::size_t k = i;
            for (; k < j && (std::isdigit(static_cast<unsigned char>(code[k])) != 0 || code[k] == '\''); ++k)
                if (code[k] != '\'') digits += code[k];
            const std::string_view suffix = std::string_view(code).substr(k, j - k);
            const bool integer = suffix.find_first_not_of("uUlL") == std::string_view::npos &&
                                 !(digits.size() > 1 && digits[0] == '0');  // not octal
            if (integer && digits.size() < 18) {
                const long long value = std::stoll(digits);
                const long long changed = value == 1 ? 0 : value == 0 ? 1 : value + 1;
                add(i, k - i, std::to_string(changed));
            }
            i = j - 1;
            continue;
        }
        if (wordStart) {
            for (auto [word, other] :
                 {std::pair<std::string_view, std::string_view>{"true", "false"}, {"false", "true"}})
                if (code.compare(i, word.size(), word) == 0 &&
                    (i + word.size() >= n || !isIdent(code[i + word.size()])))
                    add(i, word.size(), other);
            if (code.compare(i, 7, "return ") == 0) {
                const std::size_t end = code.find_last_not_of(' ');
                const std::string_view value = end > i + 7
                                                   ? trim(std::string_view(code).substr(i + 7, end - i - 7))
                                                   : std::string_view();
                const bool plain = value == "{}" || value == "0" || value == "false" || value == "true" ||
                                   value == "nullptr" || value == "\"\"" || value == "*this";
                int depth = 0;
                for (char c : value)
                    depth += c == '(' || c == '{' ? 1 : c == ')' || c == '}' ? -1 : 0;
                if (end > i + 7 && code[end] == ';' && !value.empty() && !plain && depth == 0)
                    add(i, end - i + 1, "return {};");
            }
        }
    }
    std::size_t from = 0;
    std::size_t to = 0;
    if (callStarts && callStatement(code, from, to)) add(from, to - from + 1, "{}");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::string_view(argv[1]) == "--help") {
        std::cout << "Usage: tollmere-mutants FILE...\nPrints the mutants of the files given, one a line: "
                     "file, line, the line as changed and what changed, tab-separated.\n";
        return argc < 2 ? 2 : 0;
    }
    for (int a = 1; a < argc; ++a) {
        std::ifstream in(argv[a], std::ios::binary);
        if (!in) {
            std::cerr << "tollmere-mutants: cannot read " << argv[a] << "\n";
            return 1;
        }
        std::ostringstream buffer;
        buffer << in.rdbuf();
        const std::string text = buffer.str();
        const std::vector<std::string> source = splitLines(text);
        const std::vector<std::string> code = splitLines(codeView(text));
        const std::vector<bool> skipped = skippedLines(code);
        std::vector<Mutant> mutants;
        for (std::size_t l = 0; l < source.size() && l < code.size(); ++l)
            if (!skipped[l])
                mutateLine(source[l], code[l], static_cast<int>(l) + 1, startsStatement(code, l), mutants);
        for (const Mutant& mutant : mutants)
            std::cout << argv[a] << '\t' << mutant.line << '\t' << mutant.changed << '\t' << mutant.what
                      << '\n';
    }
    return 0;
}
