// The page's side of the program's platform seam, linked into the page's
// build of the program. The page hands the module factory four functions:
//   cosmicWrite(fd, bytes)     output of descriptor 1 or 2, bytes as written;
//   cosmicRead(capacity)       a promise of the next input bytes (none: end);
//   cosmicCommand(name)        "clear" or "date";
//   cosmicEnd(status)          the program has ended with this status.
mergeInto(LibraryManager.library, {
  cosmic_page_read__sig: 'iii',
  cosmic_page_read: function(buffer, capacity) {
    return Asyncify.handleSleep(function(wakeUp) {
      Module['cosmicRead'](capacity).then(function(bytes) {
        HEAPU8.set(bytes, buffer);
        wakeUp(bytes.length);
      });
    });
  },

  cosmic_page_command__sig: 'vi',
  cosmic_page_command: function(command) {
    Module['cosmicCommand'](UTF8ToString(command));
  },

  // Suspends the program for good: nothing is left to run, and no exception
  // has to travel through the page's promise callbacks.
  cosmic_page_end__sig: 'vi',
  cosmic_page_end: function(status) {
    Asyncify.handleSleep(function() {
      Module['cosmicEnd'](status & 0xff);
    });
  },

  // Every byte of standard output and standard error reaches the page's
  // screen as written: no line buffering, no decoding, no newline added at
  // the end.
  cosmic_page_write__sig: 'viii',
  cosmic_page_write: function(fd, bytes, count) {
    Module['cosmicWrite'](fd, HEAPU8.slice(bytes, bytes + count));
  },
});
