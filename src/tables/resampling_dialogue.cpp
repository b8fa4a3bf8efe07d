// The question whether to resample both tables, the step, and the trace of
// each table's new last index.
#include "platform/answers.h"
#include "platform/console.h"
#include "tables/tables.h"

void resampling_dialogue(func_table& response, func_table& excitation) {
  platform::say("\n Apply logarithmic interpolation? ");
  platform::say("\n 1=yes  2=no  \n");
  int choice = 0;
  // An answer that is no integer is no "yes"; its text stays pending.
  if (!platform::read_int(choice) || choice != 1) return;

  platform::say("\n Enter bandwidth \n");
  platform::read_double(bandwidth);  // no number: the step stays as it was

  platform::say("\n go to intlog 1\n");
  intlog(response.freq, response.amp, response.last);
  platform::text_line().text("\n  lasta=").integer(response.last).text("   \n").say();

  platform::say("\n go to intlog 2\n");
  intlog(excitation.freq, excitation.amp, excitation.last);
  platform::text_line().text("\n  lastb=").integer(excitation.last).text("   \n").say();
}
