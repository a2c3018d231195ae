/* Resource and control ids of the import dialog, and the texts its resources
   carry. Read by the resource compiler too: preprocessor lines only. */
#ifndef JCAMP_UI_DIALOG_IDS_H
#define JCAMP_UI_DIALOG_IDS_H

#define IDD_JCAMP_IMPORT 108
#define IDS_FORMAT_XYDATA 102
#define IDS_FORMAT_XYPOINTS 103
#define IDS_FORMAT_NTUPLES 104

#define IDC_LOOK_IN 1135
#define IDC_BROWSE 1136
#define IDC_FILE_LIST 1145
#define IDC_HEADER_NAME 1067
#define IDC_HEADER_XVARS 1068
#define IDC_HEADER_YVARS 1069
#define IDC_HEADER_SAMPLES 1070
#define IDC_HEADER_DIMENSIONS 1072
#define IDC_HIDDEN_XVARS 1071
#define IDC_HIDDEN_YVARS 1073
#define IDC_HIDDEN_SAMPLES_END 1074
#define IDC_LABEL_TITLE 1059
#define IDC_LABEL_ORIGIN 1060
#define IDC_LABEL_OWNER 1061
#define IDC_LABEL_FORMAT 1062
#define IDC_TITLE 1063
#define IDC_ORIGIN 1064
#define IDC_OWNER 1065
#define IDC_FORMAT 1066

#define TEXT_FORMAT_XYDATA "XYDATA (X++(Y..Y))"
#define TEXT_FORMAT_XYPOINTS "XYPOINTS (XY..XY)"
#define TEXT_FORMAT_NTUPLES "NTUPLES (a row per page)"

#endif
