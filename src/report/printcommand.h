#pragma once

namespace brevant {

class Program;
class Std11;

// Print on the completion window: the whole report as one document.
void printReport(Program &program, Std11 *window);

} // namespace brevant
