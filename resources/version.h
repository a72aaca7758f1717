// The program's version, in the one place it is kept: the version resource, the
// build and the release archive all read it from here. The title shows the first
// three numbers ("Pinova 1.0 release 0").
#define PINOVA_VERSION 1,0,0,1
#define PINOVA_VERSION_TEXT "1.0.0.1"
