#pragma once
// Called first thing by the program and by prismcase-probe: a write past the
// file-size limit (ulimit -f) then fails with EFBIG, so the save reports it
// and removes its temporary file, instead of SIGXFSZ ending the process
// halfway through with the temporary file left beside the target.
namespace pc {

void IgnoreFileSizeSignal();

} // namespace pc
