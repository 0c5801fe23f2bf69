#pragma once

// The failed checks of a page since its last success. Alarmed: the last failed check raised the
// page's failure alarms (it was not one still being confirmed).
struct FailureStreak {
    int failedChecks = 0;
    bool alarmed = false;
};
