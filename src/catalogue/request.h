// The request a browse or form is called with, and the response it answers with. Copy is a form's
// add that starts from the values of the record it was called on (the songs browse's Copy); it
// never reaches a browse, which takes Select in its place.
#pragma once

namespace tunarium {

enum class Request : int { None = 0, Insert = 1, Change = 2, Delete = 3, Select = 4, Copy = 5 };
enum class Response : int { None = 0, Completed = 1, Cancelled = 2 };

} // namespace tunarium
