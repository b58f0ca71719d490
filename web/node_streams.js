// The batch tool under node: the standard streams are terminals only where node says they are.
// Emscripten takes all three for terminals, and the tool would then draw its progress line of a
// long accurate run into a pipe or a file, where a terminal alone can take it back.
Module['preRun'] = (Module['preRun'] || []).concat(function () {
  var createStandardStreams = FS.createStandardStreams;
  FS.createStandardStreams = function () {
    createStandardStreams();
    var tty = require('tty');
    for (var fd = 0; fd < 3; ++fd) {
      FS.streams[fd].tty = tty.isatty(fd);
    }
  };
});
