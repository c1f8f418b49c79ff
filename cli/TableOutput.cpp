#include "cli/TableOutput.h"

#include <nlohmann/json.hpp>

#include "cli/Csv.h"

namespace slamwise::cli {

void writeTable(std::ostream& out, TableFormat format, const std::vector<std::string>& columns,
                const std::vector<std::vector<Cell>>& rows) {
    if (format == TableFormat::Csv) {
        out << csvLine(columns);
        for (const std::vector<Cell>& row : rows) {
            std::vector<std::string> fields;
            for (const Cell& cell : row) {
                if (const long* number = std::get_if<long>(&cell)) {
                    fields.push_back(std::to_string(*number));
                } else if (const std::string* text = std::get_if<std::string>(&cell)) {
                    fields.push_back(*text);
                } else {
                    fields.emplace_back();
                }
            }
            out << csvLine(fields);
        }
        return;
    }
    out << "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        for (std::size_t c = 0; c < columns.size() && c < rows[r].size(); ++c) {
            const Cell& cell = rows[r][c];
            if (const long* number = std::get_if<long>(&cell)) {
                object[columns[c]] = *number;
            } else if (const std::string* text = std::get_if<std::string>(&cell)) {
                object[columns[c]] = *text;
            } else {
                object[columns[c]] = nullptr;
            }
        }
        out << (r == 0 ? "\n  " : ",\n  ")
            << object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    }
    out << "\n]\n";
}

}  // namespace slamwise::cli
