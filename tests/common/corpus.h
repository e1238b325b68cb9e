#pragma once

// The real-world corpus beside the checkout (../shared/corpus) is not part
// of a clone: without it, the tests that read it skip with a reason. Where
// ORVANE_REQUIRE_CORPUS is set to a number other than 0 (the CI run sets
// it), a missing corpus fails them instead, so that it is never passed over
// in silence.

#include <QTest>
#include <QtGlobal>

namespace orv {

inline bool CorpusRequired()
{
    return qEnvironmentVariableIntValue("ORVANE_REQUIRE_CORPUS") != 0;
}

} // namespace orv

// In a test function: ends the test because the corpus part `what` is absent,
// skipped or, where it is required, failed.
#define ORV_CORPUS_MISSING(what)                                                                   \
    do {                                                                                           \
        if (::orv::CorpusRequired())                                                               \
            QFAIL("the shared corpus (" what ") is missing, and ORVANE_REQUIRE_CORPUS is set");    \
        QSKIP("the shared corpus (" what ") is not in this checkout");                             \
    } while (false)
