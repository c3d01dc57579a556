#include "Session.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tollmere::playtest {

namespace {

void writeSet(std::ostream& out, const char* name, const std::set<std::int32_t>& values) {
    out << name;
    for (std::int32_t value : values)
        out << ' ' << value;
    out << '\n';
}

std::set<std::int32_t> readSet(std::istringstream& in) {
    std::set<std::int32_t> values;
    std::int32_t value = 0;
    while (in >> value)
        values.insert(value);
    return values;
}

}  // namespace

void Session::save(const std::filesystem::path& file) const {
    std::ofstream out(file, std::ios::trunc);
    out << "run " << run << "\nindex " << index << "\nframe " << frame << "\ncash " << cashCents << "\nmodel "
        << owned.model << "\nadopt " << (owned.adoptNextRecord ? 1 : 0) << "\nbought "
        << (owned.bought ? 1 : 0) << "\nlanguage " << language << "\nlog " << logBytes << "\nplayed "
        << playedMs << '\n';
    out << "left " << boatLeft.model << ' ' << boatLeft.tint << ' ' << boatLeft.propSet << ' '
        << boatLeft.lanternPropSet << ' ' << boatLeft.health << ' ' << boatLeft.dock << ' '
        << boatLeft.stillMs << '\n';
    out << "current " << owned.tint << ' ' << owned.propSet << ' ' << owned.lanternPropSet << '\n';
    writeSet(out, "tints", owned.tints);
    writeSet(out, "props", owned.propSets);
    writeSet(out, "lanterns", owned.lanternPropSets);
    out << "left-in";
    for (const std::string& state : statesLeft)
        out << ' ' << state;
    out << '\n';
    for (const auto& [road, count] : covered)
        out << "covered " << road << ' ' << count << '\n';
    for (const auto& [rule, frameSeen] : knownFaults)
        out << "known " << rule << ' ' << frameSeen << '\n';
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

Session Session::load(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    Session session;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        if (name == "run")
            fields >> session.run;
        else if (name == "index")
            fields >> session.index;
        else if (name == "frame")
            fields >> session.frame;
        else if (name == "cash")
            fields >> session.cashCents;
        else if (name == "model")
            fields >> session.owned.model;
        else if (name == "adopt")
            fields >> session.owned.adoptNextRecord;
        else if (name == "bought")
            fields >> session.owned.bought;
        else if (name == "language")
            fields >> session.language;
        else if (name == "log")
            fields >> session.logBytes;
        else if (name == "played")
            fields >> session.playedMs;
        else if (name == "left") {
            BoatSeen& left = session.boatLeft;
            fields >> left.model >> left.tint >> left.propSet >> left.lanternPropSet >> left.health >>
                left.dock >> left.stillMs;
        } else if (name == "current") {
            fields >> session.owned.tint >> session.owned.propSet >> session.owned.lanternPropSet;
        } else if (name == "tints")
            session.owned.tints = readSet(fields);
        else if (name == "props")
            session.owned.propSets = readSet(fields);
        else if (name == "lanterns")
            session.owned.lanternPropSets = readSet(fields);
        else if (name == "left-in") {
            for (std::string state; fields >> state;)
                session.statesLeft.push_back(state);
        } else if (name == "covered") {
            std::string road;
            int count = 0;
            fields >> road >> count;
            session.covered[road] = count;
        } else if (name == "known") {
            std::string rule;
            std::int64_t frameSeen = 0;
            fields >> rule >> frameSeen;
            session.knownFaults[rule] = frameSeen;
        }
    }
    return session;
}

}  // namespace tollmere::playtest
