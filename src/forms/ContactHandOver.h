#pragma once

// What an opener of the contact form hands over to it for its next showing.
// They are process-wide, as both forms live once in the program.

/// Company that the contact form's next new contact row belongs to (0 = none).
extern int newContactCompanyId;
/// Branch of the contact form's next new contact row (always 0).
extern int newContactBranchId;
/// Raised by an opener that has put the current tKONTAKT row into edit or
/// insert state: the contact form's next show enters edit mode.
extern bool contactEditOnShow;
