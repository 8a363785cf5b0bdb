// The printer the program's reports print on: one for the whole program, which File › Print Setup
// sets up and every report and preview prints through.
#pragma once

class QPrinter;

namespace tunarium {

QPrinter& programPrinter();

} // namespace tunarium
