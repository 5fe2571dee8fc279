#include "records/board_run_json.hpp"

#include <nlohmann/json.hpp>

namespace quillon {

namespace {

using Json = nlohmann::ordered_json;

}  // namespace

std::string BoardRunJson(const BoardRun& run) {
    Json steps = Json::array();
    for (const StepRow& s : run.steps) {
        steps.push_back(Json{{"name", s.name},
                             {"start", s.startUtc},
                             {"durationMs", s.durationMs},
                             {"ok", s.ok},
                             {"code", s.code ? Json(*s.code) : Json(nullptr)},
                             {"severity", s.severity},
                             {"text", s.text}});
    }
    const Json doc{{"key", run.key},
                   {"start", run.startUtc},
                   {"durationMs", run.durationMs},
                   {"station", run.station},
                   {"port", run.port},
                   {"device", run.device},
                   {"chip", run.chip},
                   {"crystal", run.crystal},
                   {"hexFile", run.hexFile},
                   {"checksum", run.checksum},
                   {"serial", run.serial ? Json(*run.serial) : Json(nullptr)},
                   {"serialTaken", run.serialTaken},
                   {"state", RunStateWord(run.state)},
                   {"message", run.message},
                   {"steps", std::move(steps)}};
    return doc.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool BoardRunFromJson(const std::string& line, BoardRun& run) {
    const Json doc = Json::parse(line, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) return false;
    try {
        run = BoardRun{};
        run.key = doc.at("key").get<std::string>();
        run.startUtc = doc.at("start").get<std::string>();
        run.durationMs = doc.at("durationMs").get<std::int64_t>();
        for (auto [field, name] : {std::pair{&run.station, "station"}, {&run.port, "port"},
                                   {&run.device, "device"}, {&run.chip, "chip"},
                                   {&run.crystal, "crystal"}, {&run.hexFile, "hexFile"},
                                   {&run.checksum, "checksum"}, {&run.message, "message"}}) {
            *field = doc.at(name).get<std::string>();
        }
        if (!doc.at("serial").is_null()) run.serial = doc.at("serial").get<std::uint64_t>();
        run.serialTaken = doc.at("serialTaken").get<bool>();
        if (!RunStateFromWord(doc.at("state").get<std::string>(), run.state)) return false;
        for (const Json& s : doc.at("steps")) {
            StepRow step{s.at("name").get<std::string>(), s.at("start").get<std::string>(),
                         s.at("durationMs").get<std::int64_t>(), s.at("ok").get<bool>(),
                         std::nullopt, s.at("severity").get<int>(), s.at("text").get<std::string>()};
            if (!s.at("code").is_null()) step.code = s.at("code").get<int>();
            run.steps.push_back(std::move(step));
        }
    } catch (const Json::exception&) {
        return false;
    }
    return !run.key.empty();
}

}  // namespace quillon
