#pragma once

// Runs the event loop until the work pending now (repaints, queued calls,
// posted notices and the work they post in turn) is done. To wait for a
// condition or a time, QTest::qWaitFor and QTest::qWait.
void ProcessEvents();
