// Whether the tests run under Wine rather than Windows, for the cases of functions Wine does not
// carry out as Windows does: those are skipped there, with the reason. Declared without Windows
// types, so that a test using it keeps the project's own error constants.
#pragma once

namespace tarvium::test {

bool RunsUnderWine();

}  // namespace tarvium::test
