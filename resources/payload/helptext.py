"""Topics of the help file.  Each topic: key, title, index keywords, body.
In a body, a blank line separates paragraphs, **text** is bold,
[[key|text]] jumps to another topic and {bmp:name} shows a picture.  The
page setup topics are made from the page setups themselves (pages.py)."""

TOPICS = [
    ('contents', 'Quillmark Help Contents', ['contents', 'help'], """
**Quillmark Help**

Choose a topic.  Click any underlined word to jump to the topic it names.

[[welcome|Welcome to Quillmark]]
[[newscript|Starting a new script]]
[[opensave|Opening and saving scripts]]
[[elements|Script elements]]
[[tabenter|Using the TAB and ENTER keys]]
[[quicklists|Quick lists]]
[[pagesetups|Page setups]]
[[colours|Colour schemes]]
[[spelling|Checking spelling]]
[[thesaurus|Using the Thesaurus]]
[[printing|Printing a script]]
[[breaks|Page breaks, MORE and CONT'D]]
[[scenenumbers|Scene numbers]]
[[revisions|Revisions]]
[[titlepage|The title page]]
[[outline|Outline and index cards]]
[[reports|Reports]]
[[keys|Keyboard shortcuts]]
[[samples|The sample scripts]]
[[files|Files Quillmark uses]]
[[support|Technical support]]
"""),
    ('welcome', 'Welcome to Quillmark', ['welcome', 'introduction', 'overview'], """
Quillmark is a word processor made for one job: writing scripts.  It knows
the layout of a feature film, a stage play and a television script, and it
keeps your pages in that layout while you type.  You think about the story;
Quillmark thinks about the margins.

A script is made of [[elements|elements]]: scene headings, action,
character names, dialogue, parentheticals, transitions and shots.  Each
element has its own indents, capitals and spacing, set by the
[[pagesetups|page setup]].  Moving from one element to the next takes one
key: see [[tabenter|Using the TAB and ENTER keys]].

If you are new to Quillmark, open one of the [[samples|sample scripts]] and
try changing it.  You cannot harm the samples: a fresh copy is installed
each time you run Setup.
"""),
    ('newscript', 'Starting a new script', ['new script', 'file new', 'templates'], """
Choose **File, New**.  Quillmark asks which kind of script you want to
write: Feature Film, Stage Play, Three-Camera Comedy, Live on Tape, or one
of your own templates.  Each kind starts with the matching
[[pagesetups|page setup]].

A new feature film starts with FADE IN: and an empty scene heading.  Type
INT. or EXT., the place, a dash and the time of day, then press ENTER.

To make a template of your own, set up a script the way you like it (page
setup, title page, colour scheme, character list) and choose **File, Save
As Template**.
"""),
    ('opensave', 'Opening and saving scripts', ['open', 'save', 'backup', 'autosave', 'scp files'], """
Quillmark scripts are kept in files whose names end in .SCP.  Choose
**File, Open** to open one and **File, Save** to save your work.

Each time you save, the copy on disk before the save is kept as a backup
with the same name ending in .BAK.  To go back to it, open the .BAK file
and save it under a new name.

Quillmark can save for you every few minutes.  Choose **Tools, Options**,
click the **Save** tab and set **Save every ... minutes**.  Automatic saves
go to a separate file and never replace your script until you save it
yourself.

Scripts from other programs: choose **File, Import**.  Plain text is
divided into elements by its indents.  See also [[files|Files Quillmark uses]].
"""),
    ('elements', 'Script elements', ['elements', 'paragraph types', 'formatting'], """
Every paragraph of a script is one element.  The element decides the
indents, the spacing before the paragraph, and whether it is in capitals.
The current element is shown at the left end of the status bar.

**Scene heading**: where and when a scene takes place.  INT. KITCHEN -
NIGHT.  Always in capitals.

**Action**: what we see and hear.  Written in the present tense.  In
three-camera scripts action is in capitals too.

**Character**: the name of the person who speaks, in capitals, over their
dialogue.  Add (V.O.) for voice-over or (O.S.) for off-screen.

**Dialogue**: what the character says.

**Parenthetical**: a short direction for the actor, in brackets, between
the character name and the dialogue.

**Transition**: CUT TO:, DISSOLVE TO:, FADE OUT.  Set against the right
margin.

**Shot**: a camera direction such as CLOSE ON or ANGLE ON, for shooting
scripts.

**Act break**: the start or end of an act in a television script.

To change the element of a paragraph, press CTRL and a number key (see
[[keys|Keyboard shortcuts]]), or click the element name in the status bar.
"""),
    ('tabenter', 'Using the TAB and ENTER keys', ['tab key', 'enter key', 'next element'], """
Quillmark chooses the next element for you.  Press **ENTER** at the end of
a paragraph and the next paragraph gets the element that usually follows:

Scene heading, then Action.
Action, then Action.
Character, then Dialogue.
Parenthetical, then Dialogue.
Dialogue, then Action.
Transition, then Scene heading.

Press **TAB** instead to choose the other common element: after Action,
TAB starts a Character; after Dialogue, TAB starts a Character; in an empty
Dialogue paragraph, TAB makes it a Parenthetical.

In an empty paragraph, pressing TAB again and again cycles through the
elements.  You can change the ENTER and TAB choices for each element in
**Format, Elements**.
"""),
    ('quicklists', 'Quick lists', ['quick lists', 'auto complete', 'character names', 'locations'], """
Quillmark remembers the character names, locations, times of day,
transitions and extensions you use, and offers them again as you type.
Type the first letters and the rest appears in grey; press ENTER or TAB to
take it, or keep typing to ignore it.

The lists belong to the script.  To edit them choose **Tools, Quick
Lists**.  Removing a name from the list does not change the script.

See also [[elements|Script elements]].
"""),
    ('pagesetups', 'Page setups', ['page setup', 'layout', 'margins', 'stp files'], """
A page setup holds the whole layout of a script: the paper and margins, the
font, the indents and spacing of every element, the words used at page
breaks, and where page numbers go.  Quillmark comes with eleven page
setups, kept in files that end in .STP in the Quillmark folder.

Choose **Format, Page Setup** and pick one from the list.  The script is
laid out again at once; no text is changed.

{PAGESETUP_LIST}

To make a page setup of your own, choose **Format, Elements**, change what
you need, and click **Save As**.  The page setups installed with Quillmark
are read-only, so that you can always go back to them.
"""),
    ('colours', 'Colour schemes', ['colours', 'colors', 'screen', 'scm files'], """
A colour scheme sets the colours Quillmark uses on the screen: the page,
the text, the margins, the page break lines and the marks for revised
lines.  Colour schemes never change how a script prints.

Choose **View, Colour Scheme** and pick one: White, Blue, Brown, Green,
Purple or Black and White.  Black and White is best on monochrome screens
and laptop displays.

Colour schemes are kept in files ending in .SCM in the Quillmark folder.
"""),
    ('spelling', 'Checking spelling', ['spelling', 'dictionary', 'user dictionary', 'f7'], """
Press **F7** or choose **Tools, Spelling** to check the script from the
beginning.  For each word Quillmark does not know, it offers the closest
words from its dictionary.

**Change** replaces the word, **Change All** replaces it everywhere,
**Ignore** skips it once, **Ignore All** skips it for the rest of the
script, and **Add** puts it in your own word list.

Character names are added to your word list automatically.  To skip words
in capitals, choose **Tools, Options**, **Spelling**.

The dictionary holds about sixty thousand words.  It is kept in MAIN.DCT
with its lookup tables BUCKET.BIN, TABLE1.BIN and TABLE2.BIN; your own
words are kept in USER.DCT.  See [[files|Files Quillmark uses]].
"""),
    ('thesaurus', 'Using the Thesaurus', ['thesaurus', 'synonyms', 'shift f7'], """
Put the cursor in a word and press **SHIFT+F7**, or choose **Tools,
Thesaurus**.  The Thesaurus lists the meanings of the word and, for each
meaning, words with a similar sense.

Click a word to see its own meanings; click **Replace** to put it in the
script in place of the word you started with.  **Back** returns to the
word you looked at before.

The Thesaurus is kept in THES.BIN in the Quillmark folder.
"""),
    ('printing', 'Printing a script', ['print', 'printer', 'sides', 'revised pages'], """
Choose **File, Print**.  You can print the whole script, a range of pages,
one or more scenes, only the [[revisions|revised pages]], or the sides of
one character.

Quillmark prints in the font of the page setup, normally Courier 12 point.
If your printer has no Courier, choose **File, Printer Setup** and pick a
fixed-pitch font of the same size; otherwise the page count will not be
right.

**Print Preview** shows the pages as they will print.
"""),
    ('breaks', 'Page breaks, MORE and CONT\'D', ['page breaks', 'more', 'contd', 'continued'], """
Quillmark breaks pages as it lays out the script and follows the rules
readers expect:

A scene heading is never the last line on a page.

A character name is never separated from the first line of its dialogue.

A speech that runs onto the next page ends with (MORE) and continues with
the character's name and (CONT'D).  Quillmark breaks dialogue only at the
end of a sentence.

A speech by the same character after an action paragraph gets (CONT'D) if
the page setup asks for it.

Press **CTRL+ENTER** to force a page break.  The words used for MORE and
CONT'D are part of the [[pagesetups|page setup]].
"""),
    ('scenenumbers', 'Scene numbers', ['scene numbers', 'shooting script', 'scene letters'], """
Scene numbers go in the margins of shooting scripts, left and right of each
scene heading.  Scripts sent out to sell have none.

Choose **Format, Scene Numbers** to number the scenes.  Once a script is
numbered, a new scene between scenes 12 and 13 becomes 12A, so that the
numbers everyone already uses stay the same.  To number everything afresh
choose **Renumber**.

Three-camera television scripts mark scenes with letters (SCENE A, SCENE
B) and start again in each act.
"""),
    ('revisions', 'Revisions', ['revisions', 'revised pages', 'locked pages', 'asterisks'], """
When a script is in production, changes go out as revised pages printed on
coloured paper.  Choose **Tools, Revision Mode** and pick the colour of the
revision: Blue, Pink, Yellow, Green, Goldenrod and so on.

Every line you change is marked with an asterisk in the right margin.  Lock
the pages first with **Tools, Lock Pages**, so that added text makes new
pages such as 23A instead of moving every later page.

Print only the changed pages with **File, Print**, **Revised pages only**.
"""),
    ('titlepage', 'The title page', ['title page', 'cover page', 'contact'], """
Choose **File, Title Page** to fill in the title, the episode (for a
television script), the writer's name, the draft and date, and your
contact address.  The title page prints before page 1 and has no page
number.
"""),
    ('outline', 'Outline and index cards', ['outline', 'index cards', 'scene summaries'], """
Choose **View, Outline** to see the scene headings of the script in a list.
Drag a heading to move its scene; double-click it to go there.

Choose **View, Cards** to see each scene as an index card with its heading
and a summary.  Summaries are yours to write; until you write one the card
shows the first lines of the scene's action.
"""),
    ('reports', 'Reports', ['reports', 'scene report', 'character report', 'statistics'], """
The **Reports** menu lists the scenes, the characters and the locations of
the script, with pages and lengths in eighths of a page.  The Scene report
can be grouped by location and by day or night, which helps in planning a
shoot.

**Tools, Statistics** counts the pages, scenes, speeches and words, and
shows how many lines each character speaks.
"""),
    ('keys', 'Keyboard shortcuts', ['keyboard', 'shortcuts', 'keys'], """
**CTRL+1** Scene heading
**CTRL+2** Action
**CTRL+3** Character
**CTRL+4** Dialogue
**CTRL+5** Parenthetical
**CTRL+6** Transition
**CTRL+7** Shot
**CTRL+8** Act break
**CTRL+ENTER** Page break
**SHIFT+ENTER** New line in the same paragraph
**F7** Spelling
**SHIFT+F7** Thesaurus
**CTRL+F2** Set bookmark
**F2** Next bookmark
**CTRL+Z** Undo
**CTRL+S** Save
**CTRL+P** Print
**F1** Help
"""),
    ('samples', 'The sample scripts', ['samples', 'examples', 'sample scripts'], """
Three sample scripts are installed in the Quillmark folder:

**SAMPLE.SCP**: THE LAST REEL, a short feature film.  Uses the Feature
page setup.

**SAMPLE3CAM.SCP**: SECOND DRAFT, a three-camera comedy with a cold open
and two acts.  Uses the TV-ThreeCamera page setup.

**SAMPLETAPELIVE.SCP**: THE EARLY LATE SHOW, a variety show shot live on
tape, with camera and tape cues.  Uses the TV-TapeLive page setup.

Open one with **File, Open** and change its page setup to see the same
script in another layout.
"""),
    ('files', 'Files Quillmark uses', ['files', 'installation', 'folder'], """
Setup installs these files in the Quillmark folder:

QUILLMARK.EXE, the program.
QUILLMARK.HLP, this help file.
TIPS.TXT, the tips of the day.
LICENSE.TXT, the licence agreement.
MAIN.DCT, BUCKET.BIN, TABLE1.BIN, TABLE2.BIN, the spelling dictionary.
THES.BIN, the Thesaurus.
*.SCM, the colour schemes.
*.STP, the page setups.
*.SCP, the sample scripts.

The uninstaller, QMKUINS1.EXE, is installed in the Windows folder.  To
remove Quillmark, use Add/Remove Programs in the Control Panel.
"""),
    ('support', 'Technical support', ['support', 'help', 'problems'], """
Before you call, please have ready the version of Quillmark (choose **Help,
About Quillmark**), the version of Windows, and what you were doing when
the problem happened.

Many questions are answered in this help file: use the **Index** to find
them.  Registered users receive notice of updates by mail.
"""),
]
