// Damaged copies of a good file, for the checks every reader of untrusted files passes:
// whatever the damage, a read ends in a record or in exactly one message.
#pragma once

#include <string>

#include "record/reader.h"

namespace sism::test {

// Cut at every tenth of its length, the file is refused with one message naming it.
void ExpectEveryTenthCutRefused(ReaderFunction reader, const std::string& name, const std::string& good);

// The undamaged file reads; cut at random lengths, then with random bytes overwritten,
// each read gives a record whose arrays agree with its counts and no message, or no
// record and one message.
void ExpectDamageEndsInRecordOrOneMessage(ReaderFunction reader, const std::string& name, const std::string& good,
                                          unsigned seed);

}  // namespace sism::test
