"""The three sample scripts, written in a short notation: each paragraph is a
line "X: text", where X is the element (H scene heading, A action,
C character, P parenthetical, D dialogue, T transition, S shot, B act break);
an indented line continues the paragraph above it."""

FILM_TITLE = [
    ('title', 'THE LAST REEL'),
    ('credit', 'Written by'),
    ('author', 'Quillmark Sample'),
    ('draft', 'First Draft'),
    ('contact', 'Brenlow Sample Scripts'),
]

FILM = """
T: FADE IN:
H: EXT. RIALTO THEATRE - NIGHT
A: A small-town picture house on a wet main street.  Half the bulbs on the
  marquee are dead.  The ones that work spell out: LAST SHOW TONIGHT - THANK
  YOU FOR 61 YEARS.
A: Rain drips from the awning onto a hand-lettered sign in the box office
  window: CLOSED FOR GOOD SUNDAY.
H: INT. RIALTO THEATRE - PROJECTION BOOTH - CONTINUOUS
A: A narrow room, hot and loud.  Two old carbon-arc projectors stand side by
  side like locomotives.  Film cans are stacked to the ceiling.
A: WALT BRODY (70s), cardigan, reading glasses on a cord, threads film through
  the gate of PROJECTOR TWO with the care of a surgeon.
A: A transistor radio on the shelf plays a ballgame, low.
A: Walt checks his pocket watch.  Checks the reel.  Checks the watch again.
C: WALT
P: (to the projector)
D: One more time, old girl.  Don't you quit on me tonight.
A: A CLATTER from the dark corner behind the film cans.  Walt freezes.
C: WALT (CONT'D)
D: Whoever you are, the rats got here first.  Come on out.
A: A beat.  Then NORA PIKE (15), soaked hoodie, backpack, steps into the
  light.  She holds up her hands like a bank robber in a bad western.
C: NORA
D: I paid.  Well.  I paid once.  In June.
C: WALT
D: The back door by the alley.
C: NORA
D: The lock's been broken since I was twelve.
C: WALT
D: Since you were twelve.
A: Nora shrugs.  Walt looks at her a long moment.
C: WALT (CONT'D)
D: You've been coming up here three years and you never once stole a reel?
C: NORA
D: I just watch.  Through the little window.  It's better from up here.  You
  can see everybody's faces.
A: Walt takes that in.  He sets down the film he was holding.
T: CUT TO:
H: INT. RIALTO THEATRE - AUDITORIUM - NIGHT
A: Four hundred seats.  Eleven people.  An OLD COUPLE holding hands.  A
  FAMILY of four sharing one popcorn.  MRS. ABERNATHY (80s) in the front
  row, in her good coat, alone.
A: The house lights dim.
H: INT. PROJECTION BOOTH - CONTINUOUS
A: Walt strikes the arc.  White light floods the lens.  He throws the
  changeover and PROJECTOR ONE roars to life.
A: Nora presses her face to the porthole.
S: NORA'S POV - THROUGH THE PORTHOLE
A: The beam cuts through the dust and lands on the screen.  A lion roars.
  Mrs. Abernathy claps, once.
S: BACK TO SCENE
C: NORA
D: Who's she?
C: WALT
D: Edith Abernathy.  She saw the first picture ever shown in this house.
  Nineteen thirty-seven.  She was eight.
C: NORA
D: And the last one.
C: WALT
D: And the last one.
A: Walt watches the film running through the gate.  Nora watches Walt.
C: NORA
D: What happens to them?  The projectors.
C: WALT
D: A man from the city is coming Monday with a truck.  He says they'll go to
  a museum.
C: NORA
D: And you?
C: WALT
P: (beat)
D: I'm not as heavy.
T: DISSOLVE TO:
H: INT. PROJECTION BOOTH - LATER
A: A small white dot flickers in the top corner of the picture: the cue
  mark.  Walt's hand is already on the changeover lever.
C: WALT
D: See that?  The little circle?
C: NORA
D: The cigarette burn.
C: WALT
P: (impressed despite himself)
D: Who taught you that?
C: NORA
D: Movies about movies.
C: WALT
D: Eight seconds after the first one comes the second.  On the second, you
  switch.  Miss it and the whole town sees the end of the reel.  Numbers.
  Black.  Your mistakes up on a forty-foot screen.
A: The second dot.  Walt pulls the lever.  The picture never blinks.
A: He steps back from the machine and holds out the lever's brass handle
  toward Nora.
C: NORA
D: No way.
C: WALT
D: The last changeover of the last reel.  Somebody has to do it.  My hands
  shake.
C: NORA
D: Your hands don't shake.
C: WALT
D: They will tonight.
T: CUT TO:
H: INT. PROJECTION BOOTH - NIGHT - LATER STILL
A: The final reel.  Nora stands at Projector Two, her hand on the lever,
  eyes on the porthole.  Walt stands behind her, not touching anything.
A: The first cue mark.
C: WALT
P: (quietly)
D: One.
A: Nora counts under her breath.  Her knuckles go white.
A: The second cue mark.
A: She throws the lever.  Projector Two takes over without a flicker.
A: Nora lets out a breath she has been holding for six seconds and three
  years.
H: INT. RIALTO THEATRE - AUDITORIUM - CONTINUOUS
A: THE END fills the screen.  The house lights come up.
A: The eleven people in the audience stay in their seats.  Then Mrs.
  Abernathy stands, turns around, and looks straight up at the little
  window of the booth.
A: She applauds.  One by one the others stand and join her.
H: INT. PROJECTION BOOTH - CONTINUOUS
A: Walt and Nora at the porthole.  Walt takes off his glasses and wipes them
  on his cardigan for much longer than glasses need.
C: NORA
D: Walt.  The man with the truck.  Does he need help loading?
C: WALT
D: I expect he does.
C: NORA
D: Monday's a school day.
C: WALT
D: So it is.
A: He switches off the arc.  The beam dies.  In the dark, the radio is still
  playing the ballgame.
T: FADE OUT.
H: EXT. RIALTO THEATRE - MONDAY - DAY
A: Bright sun.  A moving truck at the curb.  Walt and Nora carry a film can
  each down the front steps, past the marquee.
A: A LADDER leans against it.  The last letters have been rearranged.  Now
  they read: SEE YOU AT THE MOVIES.
T: FADE OUT.
A: THE END
"""

SITCOM_TITLE = [
    ('title', 'SECOND DRAFT'),
    ('episode', '"The Deadline"'),
    ('credit', 'Written by'),
    ('author', 'Quillmark Sample'),
    ('draft', 'Table Draft'),
    ('contact', 'Brenlow Sample Scripts'),
]

SITCOM = """
B: COLD OPEN
T: FADE IN:
H: INT. DANA AND LUIS'S APARTMENT - KITCHEN - NIGHT (NIGHT 1)
A: (Dana, Luis)
A: DANA SOTO, A SCREENWRITER IN SWEATPANTS, SITS AT THE KITCHEN TABLE
  IN FRONT OF A TYPEWRITER.  A TOWER OF CRUMPLED PAGES RISES BESIDE HER.
  LUIS, HER ROOMMATE, A CHEF, ENTERS WITH GROCERIES.
C: LUIS
D: How's the script?
C: DANA
D: Fantastic.  I've written the words "FADE IN" forty-one times.  They're
  really good now.
C: LUIS
D: When is it due?
C: DANA
D: Nine o'clock tomorrow morning.
C: LUIS
P: (checks his watch)
D: So you have eleven hours.
C: DANA
D: Eleven hours, one idea, no coffee.
A: LUIS PUTS A BAG OF COFFEE BEANS ON THE TABLE WITH A FLOURISH.
C: DANA (CONT'D)
D: Eleven hours, one idea, and I love you.
T: SMASH CUT TO:
B: MAIN TITLES
B: ACT ONE
H: SCENE A
H: INT. DANA AND LUIS'S APARTMENT - LIVING ROOM - LATER (NIGHT 1)
A: (Dana, Luis, Mrs. Kaplan)
A: DANA PACES.  LUIS LIES ON THE COUCH WITH A CLIPBOARD, PLAYING THE
  AUDIENCE.
C: DANA
D: Okay.  A detective wakes up in a hotel room.  He doesn't know how he got
  there.
C: LUIS
D: Amnesia.
C: DANA
D: It's not amnesia.
C: LUIS
D: He doesn't know how he got there.
C: DANA
D: He's been drinking.
C: LUIS
D: Ah.  A detective who drinks.  Never been done.
A: DANA THROWS A CUSHION AT HIM.  THERE'S A KNOCK AT THE DOOR.  MRS.
  KAPLAN, THE ELDERLY NEIGHBOUR, ENTERS WITHOUT WAITING.  SHE CARRIES A
  PLATE COVERED IN FOIL.
C: MRS. KAPLAN
D: I heard typing.  Then I heard no typing.  Then I heard shouting.  I
  brought rugelach.
C: DANA
D: Mrs. Kaplan, I'm working.
C: MRS. KAPLAN
D: You're not working.  Working is quiet.  My Harold was a writer.  Forty
  years, I never heard a peep.
C: LUIS
D: What did Harold write?
C: MRS. KAPLAN
D: Nothing.  He was very quiet about it.
A: SHE SITS DOWN ON THE COUCH, ON LUIS'S FEET.
C: MRS. KAPLAN (CONT'D)
D: So.  Tell me the story.
T: DISSOLVE TO:
H: SCENE B
H: INT. DANA AND LUIS'S APARTMENT - KITCHEN - LATER (NIGHT 1)
A: (Dana, Luis, Mrs. Kaplan)
A: THE RUGELACH IS GONE.  MRS. KAPLAN IS AT THE TYPEWRITER.  DANA AND LUIS
  STAND BEHIND HER, HORRIFIED AND FASCINATED.
C: MRS. KAPLAN
P: (typing, two fingers)
D: "The detective... wakes up... in his mother's apartment."
C: DANA
D: That's not my story.
C: MRS. KAPLAN
D: It's a better story.  His mother is worried sick.  He never calls.
C: LUIS
D: Is the mother a suspect?
C: MRS. KAPLAN
D: The mother is a saint.
C: DANA
P: (grabbing the page)
D: Okay!  Thank you!  That's enough help!
A: SHE READS THE PAGE.  A LONG PAUSE.  SHE SITS DOWN SLOWLY.
C: DANA (CONT'D)
D: This is actually good.
C: MRS. KAPLAN
D: Forty years of listening to Harold not write.  You pick things up.
B: END OF ACT ONE
B: ACT TWO
H: SCENE C
H: INT. DANA AND LUIS'S APARTMENT - LIVING ROOM - NEXT MORNING (DAY 2)
A: (Dana, Luis, Mrs. Kaplan)
A: SUNLIGHT.  DANA IS ASLEEP FACE DOWN ON A STACK OF FINISHED PAGES.  LUIS
  ENTERS IN HIS CHEF'S WHITES, CHECKS HIS WATCH, AND PANICS.
C: LUIS
D: Dana.  Dana!  It's eight-fifty!
C: DANA
P: (waking, a page stuck to her face)
D: Is it done?  Did I finish?
C: LUIS
P: (reading the last page)
D: "Fade out."  You finished!
A: MRS. KAPLAN ENTERS WITH A FRESH PLATE OF RUGELACH.
C: MRS. KAPLAN
D: We finished.  I'll want a credit.  Harold never got a credit.
C: DANA
D: Mrs. Kaplan, you can have a credit, a percentage, and my firstborn.
C: MRS. KAPLAN
D: Just the credit.  I've met your firstborn.  He's a cat.
A: DANA GRABS THE PAGES AND RUNS OUT THE DOOR.  A BEAT.  SHE RUNS BACK IN,
  GRABS A RUGELACH, AND RUNS OUT AGAIN.
T: FADE OUT.
B: END OF SHOW
"""

TAPE_TITLE = [
    ('title', 'THE EARLY LATE SHOW'),
    ('episode', 'Show #104'),
    ('credit', 'Written by'),
    ('author', 'Quillmark Sample'),
    ('draft', 'Air Script'),
    ('contact', 'Brenlow Sample Scripts'),
]

TAPE = """
B: SEGMENT ONE
S: TAPE ROLLS.  COLD OPEN.
H: EXT. CITY STREET - DAY (ON TAPE)
A: OUR HOST, MARTY VANCE, IN A TUXEDO, STANDS AT A BUS STOP HOLDING A
  MICROPHONE.  NOBODY AT THE BUS STOP IS PAYING ANY ATTENTION TO HIM.
C: MARTY
D: Good evening!  Thank you!  Please, please, hold your applause.
A: NO ONE IS APPLAUDING.  A BUS PULLS UP.  EVERYONE GETS ON BUT MARTY.
C: MARTY (CONT'D)
D: And that's our show.
S: DISSOLVE TO STUDIO.
H: INT. STUDIO 4 - MAIN STAGE (LIVE)
S: CAMERA 1: WIDE ON THE BAND.
A: THE BAND PLAYS THE THEME.  APPLAUSE SIGN ON.
C: ANNOUNCER (V.O.)
D: From Studio Four, it's The Early Late Show!  With Janet Quill and the
  Night Shift Band!  And now, a man who has never once been early: Marty
  Vance!
S: CAMERA 2: MARTY ENTERS STAGE LEFT, CROSSES TO MARK.
A: MARTY WAVES, SHAKES HANDS IN THE FRONT ROW, AND HITS HIS MARK.
B: MONOLOGUE
S: CAMERA 3: MEDIUM ON MARTY.
C: MARTY
D: Thank you!  Welcome to the show.  What a crowd tonight.  Some of you
  waited in line for three hours to get in.  The rest of you are my
  relatives, and you waited in line for three hours too.  I don't get the
  good seats either.
D: Big news in town this week.  The city finally fixed the pothole on Main
  Street.  It was a sad day.  Four families lived in that pothole.
D: They're building a new stadium downtown.  It's going to have a roof you
  can open, seats that heat up, and a parking lot that's closer to the
  stadium than the stadium.
S: CAMERA 2: TWO-SHOT MARTY AND JANET AT THE PIANO.
C: MARTY (CONT'D)
D: Janet, you went to the opening of the new mall.
C: JANET
D: I did.  It has a food court, a fountain, and a store that only sells
  socks.
C: MARTY
D: Only socks?
C: JANET
D: Left ones.  The right ones are at the other mall.
S: BAND STING.  APPLAUSE.
S: CAMERA 1: WIDE.  MARTY CROSSES TO DESK.
B: SEGMENT TWO
S: ROLL TAPE: "MARTY ASKS THE CITY" (RUNS 2:40).
H: EXT. PARK - DAY (ON TAPE)
A: MARTY STOPS PASSERSBY WITH A CLIPBOARD.
C: MARTY
D: Excuse me, sir.  What's the best thing about this city?
C: MAN WITH DOG
D: The dog park.
C: MARTY
D: And what's the worst thing?
C: MAN WITH DOG
D: The other dogs.
S: CUT TO: TAPE OUT.  CAMERA 3: MARTY AT DESK.
H: INT. STUDIO 4 - DESK (LIVE)
C: MARTY
D: He's not wrong about the other dogs.  When we come back, a woman who
  taught her parrot to do her taxes.  Stay with us.
S: BAND PLAYS TO BREAK.  FADE TO BLACK.
B: COMMERCIAL BREAK #1 (2:00)
B: SEGMENT THREE
S: FADE UP.  CAMERA 2: MARTY AND GUEST AT DESK.
H: INT. STUDIO 4 - DESK (LIVE)
A: (Marty, Bev Hollis, Pepper the parrot)
C: MARTY
D: My first guest is an accountant from Eastfield and the proudest owner
  of a bird with a head for numbers.  Please welcome Bev Hollis and
  Pepper!
S: CAMERA 3: CLOSE ON PEPPER.
A: PEPPER BOBS HIS HEAD.  AD LIB INTERVIEW, APPROX. 4:00.  CUE CARDS FOR
  THE PARROT BIT ARE ON CAMERA 2.
C: BEV
D: Pepper, what's seven percent of two hundred?
C: PEPPER
P: (pre-recorded, sound cue 14)
D: Fourteen!  Fourteen!
S: APPLAUSE SIGN ON.
C: MARTY
D: Pepper, will you do my taxes?
C: PEPPER
P: (sound cue 15)
D: Receipts!
C: MARTY
D: Everybody's a critic.  Bev Hollis and Pepper, everybody!
S: CAMERA 1: WIDE.  BAND PLAYS OUT.
B: GOODNIGHT
C: MARTY
D: That's our show.  Thanks to Bev and Pepper, to Janet and the band, and to
  all of you.  Drive safely, be kind to each other, and get those receipts
  in order.  Goodnight!
S: ROLL CREDITS OVER WIDE SHOT.  FADE TO BLACK.
B: END OF SHOW
"""

SCRIPTS = {
    'Sample.scp': (0, 'Feature.stp', FILM_TITLE, FILM),
    'Sample3Cam.scp': (1, 'TV-ThreeCamera.stp', SITCOM_TITLE, SITCOM),
    'SampleTapeLive.scp': (2, 'TV-TapeLive.stp', TAPE_TITLE, TAPE),
}

ELEMENTS = {'H': 1, 'A': 2, 'C': 3, 'P': 4, 'D': 5, 'T': 6, 'S': 7, 'B': 8}


def paragraphs(text):
    """[(element letter, text)] from the short notation."""
    result = []
    for line in text.strip('\n').split('\n'):
        if not line.strip():
            continue
        if line.startswith('  '):
            if not result:
                raise ValueError('continuation before any paragraph')
            tag, body = result[-1]
            result[-1] = (tag, body + ' ' + line.strip())
            continue
        tag, sep, body = line.partition(': ')
        if not sep or tag not in ELEMENTS:
            raise ValueError('bad script line: %r' % line)
        result.append((tag, body.strip()))
    return result
