#pragma once

class TApplication;

// Registers the application window of this process with the platform's
// window registry under the application's current title, by which other
// copies of the program find it. From then on the registered text follows
// every title change, and a text set from outside becomes the title, as the
// title is the window's text.
void RegisterApplicationWindow(TApplication& application);
