// The fuzz targets drive the workbook through calls that may refuse hostile input with the
// system's own error; that refusal is a right answer, anything else is a finding.
#ifndef KASTEL_FUZZ_IGNORE_ERRORS_H_
#define KASTEL_FUZZ_IGNORE_ERRORS_H_

#include "base/error.h"

template <typename F>
void Try(F&& action) {
  try {
    action();
  } catch (const kastel::Error&) {
  }
}

#endif  // KASTEL_FUZZ_IGNORE_ERRORS_H_
