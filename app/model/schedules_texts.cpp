#include "app/model/schedules_texts.h"

#include "app/model/texts.h"
#include "platform/paths.h"

namespace tarrow {

std::string onlyWhileOpen() {
    return "Schedules only run while " + std::string(appName) + " is open.";
}

ScheduleRowTexts scheduleRowTexts(const Schedule& schedule, const Calendar& calendar) {
    const std::string described = describe(schedule, calendar);
    return {"Schedule " + described, "Start, " + described, "End, " + described,
            "Remove schedule " + described, "Off \u2013 switch on to say tarrow on " + described};
}

}  // namespace tarrow
