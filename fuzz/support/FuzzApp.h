#pragma once
// The application object every harness needs: file paths beside the
// executable, the SQL drivers and the text codecs all ask for one. Made once
// per process, on the first input.

class QString;

namespace fuzzapp {

void ensureApplication();

// A folder of this process, emptied at exit, for the files a harness writes.
const QString& scratchFolder();

} // namespace fuzzapp
