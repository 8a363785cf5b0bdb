// The program's name as the platform knows it: it decides where the default collection and the
// configuration live. The program, the command line and the benchmarks all set it.
#pragma once

namespace tunarium {

void setApplicationIdentity();

} // namespace tunarium
