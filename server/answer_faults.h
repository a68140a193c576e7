// How a fault switch changes an answer.
#pragma once

#include "server/answer.h"
#include "server/faults.h"

namespace koral_server {

// Faults that stand in for the whole answer: the script does not run.
bool ReplacesAnswer(FaultKind kind);
Answer FaultAnswer(FaultKind kind);
// Faults that spoil the script's own answer.
void SpoilAnswer(FaultKind kind, Answer& answer);

}  // namespace koral_server
