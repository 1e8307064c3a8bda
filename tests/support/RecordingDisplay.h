#pragma once
// A survey display that records what the run does to each line: every call
// in order, and each line's resulting text, hint and enabled state.

#include "survey/ClockSurvey.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct LineState {
    std::string text = "...";  // stands for the placeholder the run never wrote
    std::string hint;
    bool enabled = true;
};

class RecordingDisplay : public survey::SurveyDisplay {
public:
    enum class Op { Text, Hint, Disable, Enable, Repaint };
    struct Event {
        Op op;
        survey::Line line;
        std::string value;
    };

    void setText(survey::Line line, const std::string& text) override {
        state(line).text = text;
        events.push_back({Op::Text, line, text});
    }
    void setHint(survey::Line line, const std::string& hint) override {
        state(line).hint = hint;
        events.push_back({Op::Hint, line, hint});
    }
    void setEnabled(survey::Line line, bool enabled) override {
        state(line).enabled = enabled;
        events.push_back({enabled ? Op::Enable : Op::Disable, line, {}});
        if (!enabled && onDisable) onDisable(line);
    }
    void repaint(survey::Line line) override { events.push_back({Op::Repaint, line, {}}); }

    LineState& state(survey::Line line) { return lines[static_cast<std::size_t>(line)]; }
    const std::string& text(survey::Line line) { return state(line).text; }

    // The operations done to one line, in order.
    std::vector<Op> opsOn(survey::Line line) const {
        std::vector<Op> ops;
        for (const Event& e : events) {
            if (e.line == line) ops.push_back(e.op);
        }
        return ops;
    }

    std::array<LineState, survey::kLineCount> lines{};
    std::vector<Event> events;
    // Called when the run greys a line, i.e. just before it measures it.
    std::function<void(survey::Line)> onDisable;
};

}  // namespace testsupport
